#include "error_log.h"

#include <cxxabi.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <link.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>

#include "data/cp874.h"
#include "data/paths.h"

#ifdef BLEND_HAVE_LIBBACKTRACE
#include <backtrace.h>
#elif defined(__GLIBC__)
#include <execinfo.h>
#endif

namespace blend {
namespace {

namespace fs = std::filesystem;

// ---------------------------------------------------------------------------------------------
// Line forms

std::string padLeft(std::string text, std::size_t width) {
  if (text.size() < width) text.insert(0, width - text.size(), ' ');
  return text;
}

std::string padRight(std::string text, std::size_t width) {
  if (text.size() < width) text.append(width - text.size(), ' ');
  return text;
}

template <class N>
std::string number(N n, std::size_t width = 0) {
  return padLeft(std::to_string(n), width);
}

// "9,999,999": right-aligned in nine places with thousands separators; a larger program file
// widens the field rather than turning into asterisks, which would hide the size.
std::string groupedSize(std::uintmax_t n) {
  std::string digits = std::to_string(n);
  std::string out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return padLeft(out, 9);
}

const char* flag(bool b) {
  return b ? ".T." : ".F.";
}

class Report {
 public:
  void line(const std::string& text = {}) {
    text_ += text;
    text_ += "\r\n";
  }
  void heading(const std::string& title) {
    line(title);
    line(std::string(title.size(), '='));
  }
  std::string take() { return std::move(text_); }

 private:
  std::string text_;
};

// ---------------------------------------------------------------------------------------------
// Facts from /proc and the system

std::string trim(std::string s) {
  const auto notSpace = [](unsigned char c) { return !std::isspace(c); };
  s.erase(s.begin(), std::find_if(s.begin(), s.end(), notSpace));
  s.erase(std::find_if(s.rbegin(), s.rend(), notSpace).base(), s.end());
  return s;
}

// The value of the first "key : value" line of a /proc file whose key is one of `keys`.
std::optional<std::string> procValue(const char* file, std::initializer_list<const char*> keys) {
  std::ifstream in(file);
  std::string text;
  while (std::getline(in, text)) {
    const auto colon = text.find(':');
    if (colon == std::string::npos) continue;
    const std::string key = trim(text.substr(0, colon));
    for (const char* k : keys)
      if (key == k) return trim(text.substr(colon + 1));
  }
  return std::nullopt;
}

// A /proc/self/status or /proc/meminfo figure given in kB.
std::uint64_t procKilobytes(const char* file, const char* key) {
  const auto value = procValue(file, {key});
  return value ? std::strtoull(value->c_str(), nullptr, 10) : 0;
}

std::optional<long> cpuMhz() {
  if (const auto mhz = procValue("/proc/cpuinfo", {"cpu MHz"}))
    return std::lround(std::strtod(mhz->c_str(), nullptr));
  std::ifstream khz("/sys/devices/system/cpu/cpu0/cpufreq/cpuinfo_max_freq");
  long value = 0;
  if (khz >> value && value > 0) return std::lround(value / 1000.0);
  return std::nullopt;
}

std::string compilerVersion() {
#if defined(__clang__)
  return "Clang " __clang_version__;
#elif defined(__GNUC__)
  return "GCC " __VERSION__;
#elif defined(_MSC_VER)
  return "MSVC " + std::to_string(_MSC_FULL_VER);
#else
  return "unknown C++ compiler";
#endif
}

OsVersion osVersion() {
  OsVersion v;
  utsname u{};
  if (uname(&u) != 0) return v;
  std::sscanf(u.release, "%d.%d.%d", &v.major, &v.minor, &v.build);
  v.detail = std::string(u.sysname) + " " + u.release + " " + u.version;
  return v;
}

// Variables of static storage in the program file: its symbol table's data objects in the
// writable data sections, without the guard variables the compiler adds for local statics. 0
// when the program carries no symbol table.
long countStaticVariables(const fs::path& program) {
  std::ifstream in(program, std::ios::binary);
  ElfW(Ehdr) header{};
  if (!in.read(reinterpret_cast<char*>(&header), sizeof header)) return 0;
  if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_shentsize != sizeof(ElfW(Shdr)))
    return 0;
  std::vector<ElfW(Shdr)> sections(header.e_shnum);
  in.seekg(static_cast<std::streamoff>(header.e_shoff));
  if (!in.read(reinterpret_cast<char*>(sections.data()),
               static_cast<std::streamsize>(sections.size() * sizeof(ElfW(Shdr)))))
    return 0;
  const auto readBlock = [&](const ElfW(Shdr) & s) {
    std::string block(s.sh_size, '\0');
    in.seekg(static_cast<std::streamoff>(s.sh_offset));
    in.read(block.data(), static_cast<std::streamsize>(block.size()));
    return in ? block : std::string();
  };
  if (header.e_shstrndx >= sections.size()) return 0;
  const std::string sectionNames = readBlock(sections[header.e_shstrndx]);
  std::vector<bool> dataSection(sections.size());
  for (std::size_t i = 0; i < sections.size(); ++i) {
    if (sections[i].sh_name >= sectionNames.size()) continue;
    const std::string name = sectionNames.c_str() + sections[i].sh_name;
    dataSection[i] = name == ".data" || name == ".bss" || name == ".tdata" || name == ".tbss" ||
                     name == ".data.rel" || name == ".data.rel.local";
  }
  long count = 0;
  for (const ElfW(Shdr) & s : sections) {
    if (s.sh_type != SHT_SYMTAB || s.sh_link >= sections.size()) continue;
    const std::string symbols = readBlock(s);
    const std::string names = readBlock(sections[s.sh_link]);
    for (std::size_t at = 0; at + sizeof(ElfW(Sym)) <= symbols.size(); at += sizeof(ElfW(Sym))) {
      ElfW(Sym) sym;
      std::memcpy(&sym, symbols.data() + at, sizeof sym);
      const int type = ELF64_ST_TYPE(sym.st_info);
      if ((type != STT_OBJECT && type != STT_TLS) || sym.st_shndx >= sections.size() ||
          !dataSection[sym.st_shndx] || sym.st_name >= names.size())
        continue;
      if (std::strncmp(names.c_str() + sym.st_name, "_ZGV", 4) == 0) continue;
      ++count;
    }
  }
  return count;
}

// ---------------------------------------------------------------------------------------------
// Call stack

std::string baseName(const char* path) {
  const char* slash = std::strrchr(path, '/');
  return slash ? slash + 1 : path;
}

// A function's name as the log shows it, followed there by its line in parentheses: the
// demangled name without its parameter list and qualifiers ("blend::MIXPROC(int) const" becomes
// "blend::MIXPROC"), so that the line is not taken for another parameter list.
std::string functionName(const char* symbol) {
  int status = 0;
  char* plain = abi::__cxa_demangle(symbol, nullptr, nullptr, &status);
  std::string name = status == 0 && plain ? plain : symbol;
  std::free(plain);
  // Parts the compiler split off ("[clone .cold]") belong to the function itself.
  if (const auto clone = name.find(" [clone "); clone != std::string::npos) name.resize(clone);
  for (const char* qualifier : {" const", " volatile", " &&", " &", " noexcept"})
    while (name.ends_with(qualifier)) name.resize(name.size() - std::strlen(qualifier));
  if (!name.ends_with(')')) return name;
  int depth = 0;
  for (std::size_t i = name.size(); i-- > 0;) {
    if (name[i] == ')') ++depth;
    if (name[i] == '(' && --depth == 0) {
      // "operator()" on its own is a name, not a name with its parameters.
      if (i > 0 && !name.substr(0, i).ends_with("operator")) name.resize(i);
      break;
    }
  }
  return name;
}

// The shared object (or program) a code address belongs to, for levels without debug data.
std::string objectName(std::uintptr_t pc) {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(pc), &info) && info.dli_fname && *info.dli_fname)
    return baseName(info.dli_fname);
  return "???";
}

// Levels of the stack are collected with some room beyond the 72 reported, so that the levels
// of whoever asks can be cut off first.
constexpr std::size_t kCollectedLevels = 1024;

#ifdef BLEND_HAVE_LIBBACKTRACE
void ignoreBacktraceError(void*, const char*, int) {}

// One state for the process: it caches the debug data it has read and cannot be freed.
backtrace_state* backtraceState() {
  static backtrace_state* state = backtrace_create_state(nullptr, 1, ignoreBacktraceError, nullptr);
  return state;
}

void keepSymbolName(void* data, std::uintptr_t, const char* name, std::uintptr_t, std::uintptr_t) {
  *static_cast<const char**>(data) = name;
}

// The symbol-table name of the function a code address lies in (mangled), or null.
const char* symbolAt(backtrace_state* state, std::uintptr_t pc) {
  const char* name = nullptr;
  backtrace_syminfo(state, pc, keepSymbolName, ignoreBacktraceError, &name);
  return name;
}

// The debug data names a function without its class and namespace, and not at all where a
// library has none; the symbol table has the full name of the function the level is in (not of
// one inlined into it, which keeps its short name).
int collectLevel(void* data, std::uintptr_t pc, const char* file, int line, const char* function) {
  auto& levels = *static_cast<std::vector<StackLevel>*>(data);
  if (pc == std::numeric_limits<std::uintptr_t>::max()) return 0;  // beyond the outermost level
  const char* symbol = symbolAt(backtraceState(), pc);
  std::string name = function ? functionName(function) : symbol ? functionName(symbol) : "???";
  if (function && symbol) {
    const std::string full = functionName(symbol);
    if (full == name || full.ends_with("::" + name)) name = full;
  }
  levels.push_back({file ? baseName(file) : objectName(pc), name, file ? line : 0});
  return levels.size() >= kCollectedLevels ? 1 : 0;
}
#endif

std::vector<StackLevel> allLevels() {
  std::vector<StackLevel> levels;
#ifdef BLEND_HAVE_LIBBACKTRACE
  if (backtrace_state* state = backtraceState())
    backtrace_full(state, 0, collectLevel, ignoreBacktraceError, &levels);
#elif defined(__GLIBC__)
  void* addresses[kCollectedLevels];
  const int n = backtrace(addresses, static_cast<int>(kCollectedLevels));
  for (int i = 0; i < n; ++i) {
    Dl_info info{};
    const bool known = dladdr(addresses[i], &info);
    levels.push_back({objectName(reinterpret_cast<std::uintptr_t>(addresses[i])),
                      known && info.dli_sname ? functionName(info.dli_sname) : "???", 0});
  }
#endif
  return levels;
}

// ---------------------------------------------------------------------------------------------
// Fatal signals: everything here is prepared ahead or safe inside a signal handler.

char gProgramPath[4096] = "???";

class SignalSafeWriter {
 public:
  explicit SignalSafeWriter(int fd) : fd_(fd) {}
  ~SignalSafeWriter() { flush(); }
  SignalSafeWriter& operator<<(const char* text) {
    for (; text && *text; ++text) {
      if (used_ == sizeof buffer_) flush();
      buffer_[used_++] = *text;
    }
    return *this;
  }
  SignalSafeWriter& operator<<(long n) {
    char digits[24];
    int i = sizeof digits - 1;
    digits[i] = '\0';
    const bool negative = n < 0;
    unsigned long u =
        negative ? 0UL - static_cast<unsigned long>(n) : static_cast<unsigned long>(n);
    do {
      digits[--i] = static_cast<char>('0' + u % 10);
      u /= 10;
    } while (u != 0);
    if (negative) digits[--i] = '-';
    return *this << digits + i;
  }
  void flush() {
    for (std::size_t done = 0; done < used_;) {
      const ssize_t n = ::write(fd_, buffer_ + done, used_ - done);
      if (n <= 0) break;
      done += static_cast<std::size_t>(n);
    }
    used_ = 0;
  }

 private:
  int fd_;
  char buffer_[512];
  std::size_t used_ = 0;
};

const char* signalName(int signal) {
  switch (signal) {
    case SIGSEGV:
      return "Segmentation fault";
    case SIGBUS:
      return "Bus error";
    case SIGFPE:
      return "Arithmetic exception";
    case SIGILL:
      return "Illegal instruction";
    case SIGABRT:
      return "Aborted";
    default:
      return "Fatal signal";
  }
}

#ifdef BLEND_HAVE_LIBBACKTRACE
struct CrashLevel {
  const char* file;
  const char* function;
  int line;
};
struct CrashLevels {
  CrashLevel levels[256];
  int count = 0;
};
CrashLevels gCrashLevels;

int keepCrashLevel(void* data, std::uintptr_t pc, const char* file, int line,
                   const char* function) {
  auto& c = *static_cast<CrashLevels*>(data);
  if (pc == std::numeric_limits<std::uintptr_t>::max()) return 0;
  c.levels[c.count++] = {file, function ? function : symbolAt(backtraceState(), pc), line};
  return c.count == static_cast<int>(std::size(c.levels)) ? 1 : 0;
}
#endif

}  // namespace

// ---------------------------------------------------------------------------------------------

std::string errorDescriptionLine(const ErrorRecord& error) {
  return "   Error description: " + ERRORMESSAGE(error);
}

std::string stackCallLine(const StackLevel& level) {
  return "   Called from: " + level.module + " => " + level.function + "(" +
         std::to_string(level.line) + ")";
}

std::string errorLogText(const ErrorRecord& error, const ErrorLogFacts& f) {
  Report r;
  r.heading("Application");
  r.line("   Path and name: " + f.programPath + " (" + std::to_string(f.programBits) + " bits)");
  r.line("   Size: " + groupedSize(f.programSize) + " bytes");
  const long long s = f.secondsSinceStart;
  r.line("   Time from start: " + std::to_string(s / 3600) + " hours " +
         std::to_string(s / 60 % 60) + " mins " + std::to_string(s % 60) + " secs ");
  r.line("   Error occurred at: " + DTOC(f.date) + ", " + f.time);
  r.line(errorDescriptionLine(error));
  if (error.args) {
    r.line("   Args:");
    for (std::size_t i = 0; i < error.args->size(); ++i) {
      const Value& v = (*error.args)[i];
      r.line("     [" + number(i + 1, 4) + "] = " + v.typeLetter() + "   " + displayText(v));
    }
  }

  r.line();
  r.heading("Stack Calls");
  for (const StackLevel& level : f.stack) r.line(stackCallLine(level));

  // No figures for free system, GDI and user resources exist on this platform, so their three
  // lines are left out rather than filled with made-up percentages.
  r.line();
  r.heading("System");
  r.line("   CPU type: " + f.cpuName + (f.cpuMhz ? " " + std::to_string(*f.cpuMhz) + " Mhz" : ""));
  r.line("   Hardware memory: " + std::to_string(f.memoryMegs) + " megs");
  r.line();
  r.line("   Compiler version: " + f.compiler);
  r.line("   Windows version: " + std::to_string(f.os.major) + "." + std::to_string(f.os.minor) +
         ", Build " + std::to_string(f.os.build) + " " + f.os.detail);
  r.line();
  r.line("   Windows total applications running: " + std::to_string(f.windowTitles.size()));
  for (std::size_t i = 0; i < f.windowTitles.size(); ++i)
    r.line("    " + number(i + 1, 3) + " " + f.windowTitles[i]);

  // A compiled program cannot name the parameters and locals of its call levels; the levels
  // themselves are listed under the column heads.
  r.line();
  r.heading("Variables in use");
  r.line("   Procedure     Type   Value");
  r.line("   ==========================");
  for (const StackLevel& level : f.stack) r.line("   " + level.function);

  r.line();
  r.heading("Linked RDDs");
  for (const std::string& driver : f.drivers) r.line("   " + driver);

  r.line();
  r.heading("DataBases in use");
  for (const OpenTableFacts& t : f.tables) {
    if (t.area < 1 || t.area > 255) continue;
    r.line();
    r.line(number(t.area, 3) + ": " + (t.current ? "=> " : "   ") + padRight(t.alias, 15) +
           std::string(20, ' ') + "RddName: " + kTableDriver);
    r.line("     ==============================");
    r.line("     RecNo    RecCount    BOF   EOF");
    r.line("     " + number(t.recno, 7) + std::string(6, ' ') + number(t.reccount, 7) + "   " +
           flag(t.bof) + "   " + flag(t.eof));
    r.line();
    r.line("     Indexes in use " + std::string(23, ' ') + "TagName");
    for (std::size_t i = 0; i < t.indexes.size() && i < 15; ++i) {
      const auto& index = t.indexes[i];
      r.line(std::string(8, ' ') + (index.controlling ? "=> " : "   ") + padRight(index.key, 35) +
             index.name);
    }
    r.line();
    r.line("     Relations in use");
    for (std::size_t i = 0; i < t.relations.size() && i < 8; ++i)
      r.line(std::string(8, ' ') + number(i + 1, 10) + ": TO " + t.relations[i].expression +
             " INTO " + t.relations[i].target);
  }

  r.line();
  r.heading("Classes in use:");
  for (std::size_t i = 0; i < f.classes.size(); ++i)
    r.line("   " + number(i + 1, 3) + " " + f.classes[i]);

  r.line();
  r.heading("Memory Analysis");
  r.line("      " + std::to_string(f.staticVariables) + " Static variables");
  r.line();
  r.line("   Dynamic memory consume:");
  r.line("      Actual  Value: " + number(f.memoryNow, 10) + " bytes");
  r.line("      Highest Value: " + number(f.memoryPeak, 10) + " bytes");
  return r.take();
}

bool writeErrorLog(const std::string& text) {
  std::ofstream out(nativePath("Error.log"), std::ios::binary | std::ios::trunc);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  out.close();
  return !out.fail();
}

std::string GETCPU() {
  if (auto name = procValue("/proc/cpuinfo", {"model name", "cpu model", "Hardware", "Processor"}))
    return *name;
  utsname u{};
  return uname(&u) == 0 ? u.machine : "???";
}

ErrorLogFacts machineErrorLogFacts() {
  ErrorLogFacts f;
  std::error_code ec;
  const fs::path program = fs::read_symlink("/proc/self/exe", ec);
  if (!ec) {
    f.programPath = utf8ToCp874(program.string());
    f.programSize = fs::file_size(program, ec);
    if (ec) f.programSize = 0;
    f.staticVariables = countStaticVariables(program);
  }
  f.cpuName = GETCPU();
  f.cpuMhz = cpuMhz();
  f.memoryMegs = static_cast<long long>(procKilobytes("/proc/meminfo", "MemTotal") / 1024 + 1);
  f.compiler = compilerVersion();
  f.os = osVersion();
  f.memoryNow = procKilobytes("/proc/self/status", "VmRSS") * 1024;
  f.memoryPeak = procKilobytes("/proc/self/status", "VmHWM") * 1024;
  return f;
}

std::vector<StackLevel> captureStack(const std::vector<std::string>& innerPrefixes,
                                     std::size_t maxLevels) {
  std::vector<StackLevel> levels = allLevels();
  std::size_t cut = 0;
  for (std::size_t i = 0; i < levels.size(); ++i)
    for (const std::string& prefix : innerPrefixes)
      if (levels[i].function.starts_with(prefix)) cut = i + 1;
  levels.erase(levels.begin(), levels.begin() + static_cast<std::ptrdiff_t>(cut));
  if (levels.size() > maxLevels) levels.resize(maxLevels);
  return levels;
}

void prepareCrashLog() {
  std::error_code ec;
  const std::string path = fs::read_symlink("/proc/self/exe", ec).string();
  if (!ec) std::snprintf(gProgramPath, sizeof gProgramPath, "%s", path.c_str());
#ifdef BLEND_HAVE_LIBBACKTRACE
  // Reading the debug data and symbol tables once here leaves little for the signal handler.
  allLevels();
#endif
}

void writeCrashLog(int signal, const char* handlerName) {
  const int fd = ::open("Error.log", O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return;
  {
    SignalSafeWriter out(fd);
    out << "Application\r\n===========\r\n"
        << "   Path and name: " << gProgramPath << " (" << static_cast<long>(8 * sizeof(void*))
        << " bits)\r\n"
        << "   Error description: Error SIGNAL/" << static_cast<long>(signal) << "  "
        << signalName(signal) << "\r\n\r\nStack Calls\r\n===========\r\n";
#ifdef BLEND_HAVE_LIBBACKTRACE
    if (backtrace_state* state = backtraceState()) {
      gCrashLevels.count = 0;
      backtrace_full(state, 0, keepCrashLevel, ignoreBacktraceError, &gCrashLevels);
      // Left out: the levels of the signal handler, and the return trampoline the system put
      // between it and the level that faulted.
      int first = 0;
      for (int i = 0; i < gCrashLevels.count; ++i) {
        const char* fn = gCrashLevels.levels[i].function;
        if (fn && std::strstr(fn, handlerName)) first = i + 1;
      }
      if (first > 0 && first < gCrashLevels.count) {
        const char* fn = gCrashLevels.levels[first].function;
        if (!fn || std::strcmp(fn, "__restore_rt") == 0) ++first;
      }
      for (int i = first; i < gCrashLevels.count && i < first + 72; ++i) {
        const CrashLevel& l = gCrashLevels.levels[i];
        const char* slash = l.file ? std::strrchr(l.file, '/') : nullptr;
        out << "   Called from: " << (l.file ? (slash ? slash + 1 : l.file) : "???") << " => "
            << (l.function ? l.function : "???") << "(" << static_cast<long>(l.file ? l.line : 0)
            << ")\r\n";
      }
    }
#endif
  }
  ::close(fd);
}

}  // namespace blend
