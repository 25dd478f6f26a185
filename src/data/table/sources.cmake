# The table engine: dBase III files, indexes, locks. Paths relative to src/data.
set(TABLE_SOURCES)
