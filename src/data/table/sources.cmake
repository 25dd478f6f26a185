# The table engine: dBase III files, indexes, locks. Paths relative to src/data.
set(TABLE_SOURCES)
list(APPEND TABLE_SOURCES
  table/access.cpp table/access.h
  table/dbf_field.cpp table/dbf_field.h
  table/dbf_header.cpp table/dbf_header.h
  table/dbf_table.cpp table/dbf_table.h
  table/expression_keys.cpp table/expression_keys.h
  table/index_file.cpp table/index_file.h
  table/key_expression.h
  table/numbering.cpp table/numbering.h
  table/lock_ranges.h
  table/os_file.cpp table/os_file.h
  table/table_errors.cpp table/table_errors.h
  table/workspace.cpp table/workspace.h)
