// The registry stand-in: a Windows registry export file read whole, edited in
// memory and written back atomically.
#include "platform/win32/registry.h"

#include <strings.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/win32/home_folder.h"
#include "platform/win32/io_error.h"
#include "platform/win32/paths.h"

namespace {

const char* const RootName = "HKEY_CURRENT_USER";
const char* const FileHeader = "Windows Registry Editor Version 5.00";

std::string RegistryFile_;

bool SameName(const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) == 0; }

std::string FullKeyPath(const std::string& Key) {
  std::string path = RootName;
  if (Key.empty() || Key[0] != '\\') path += '\\';
  path += Key;
  while (path.size() > 1 && path.back() == '\\') path.pop_back();
  return path;
}

std::string Trim(const std::string& s) {
  std::size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t' || s[b] == '\r')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r')) --e;
  return s.substr(b, e - b);
}

// Parses `"name"=data`; names escape '"' and '\' with a backslash.
bool ParseValueLine(const std::string& Line, std::string& Name, std::string& Data) {
  if (Line.empty() || Line[0] != '"') return false;
  Name.clear();
  std::size_t p = 1;
  for (; p < Line.size() && Line[p] != '"'; ++p) {
    if (Line[p] == '\\' && p + 1 < Line.size()) ++p;
    Name += Line[p];
  }
  if (p >= Line.size() || p + 1 >= Line.size() || Line[p + 1] != '=') return false;
  Data = Line.substr(p + 2);
  return true;
}

std::string QuoteName(const std::string& Name) {
  std::string s = "\"";
  for (char c : Name) {
    if (c == '"' || c == '\\') s += '\\';
    s += c;
  }
  return s + "\"";
}

// dword:XXXXXXXX (eight hex digits at most) to its value.
bool ParseDword(const std::string& Data, std::int32_t& Value) {
  static const char Prefix[] = "dword:";
  if (Data.size() <= 6 || strncasecmp(Data.c_str(), Prefix, 6) != 0) return false;
  const std::string hex = Data.substr(6);
  if (hex.size() > 8) return false;
  std::uint32_t v = 0;
  for (char c : hex) {
    int d;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
    else return false;
    v = v * 16 + static_cast<std::uint32_t>(d);
  }
  Value = static_cast<std::int32_t>(v);
  return true;
}

std::string DefaultRegistryFile() {
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) return std::string(xdg) + "/voxarine/settings.reg";
  if (const std::string home = HomeFolder(); !home.empty()) return home + "/.config/voxarine/settings.reg";
  // Never a bare relative name: the working directory is the data folder,
  // which an installed game must not write to.
  return "/tmp/voxarine/settings.reg";
}

}  // namespace

void SetRegistryFile(const std::string& FileName) { RegistryFile_ = FileName; }

std::string RegistryFile() { return RegistryFile_.empty() ? DefaultRegistryFile() : RegistryFile_; }

TRegistry::TRegistry() = default;

TRegistry::~TRegistry() {
  try {
    CloseKey();
  } catch (const EInOutError&) {
    // Destructors must not throw; callers that care call CloseKey themselves.
  }
}

void TRegistry::Load() {
  Keys_.clear();
  Loaded_ = true;
  const std::string file = RegistryFile();
  std::error_code ec;
  if (!std::filesystem::exists(file, ec)) return;
  std::ifstream in(file, std::ios::binary);
  if (!in) throw EInOutError(file, std::string("cannot open the settings: ") + std::strerror(errno));

  // Lines that are neither a key nor a value are not ours to judge; they are
  // dropped, the way the registry editor ignores them.
  std::string line;
  TKey* key = nullptr;
  while (std::getline(in, line)) {
    line = Trim(line);
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      const std::string path = line.substr(1, line.size() - 2);
      key = FindKey(path);
      if (!key) {
        Keys_.push_back(TKey{path, {}});
        key = &Keys_.back();
      }
      continue;
    }
    std::string name, data;
    if (key && ParseValueLine(line, name, data)) {
      bool replaced = false;
      for (TValue& v : key->Values)
        if (SameName(v.Name, name)) v.Data = data, replaced = true;
      if (!replaced) key->Values.push_back(TValue{name, data});
    }
  }
  if (in.bad()) throw EInOutError(file, "cannot read the settings");
}

void TRegistry::Store() const {
  std::ostringstream out;
  out << FileHeader << "\r\n";
  for (const TKey& key : Keys_) {
    out << "\r\n[" << key.Path << "]\r\n";
    for (const TValue& v : key.Values) out << QuoteName(v.Name) << '=' << v.Data << "\r\n";
  }
  const std::string file = RegistryFile();
  const std::filesystem::path folder = std::filesystem::path(file).parent_path();
  std::error_code ec;
  if (!folder.empty()) std::filesystem::create_directories(folder, ec);
  if (ec) throw EInOutError(file, "cannot create the settings folder: " + ec.message());
  AtomicWriteFile(file, out.str());
}

TRegistry::TKey* TRegistry::FindKey(const std::string& Path) {
  for (TKey& key : Keys_)
    if (SameName(key.Path, Path)) return &key;
  return nullptr;
}

const TRegistry::TValue* TRegistry::FindValue(const std::string& Name) const {
  if (Current_ < 0) return nullptr;
  for (const TValue& v : Keys_[static_cast<std::size_t>(Current_)].Values)
    if (SameName(v.Name, Name)) return &v;
  return nullptr;
}

bool TRegistry::KeyExists(const std::string& Key) {
  if (!Loaded_) Load();
  return FindKey(FullKeyPath(Key)) != nullptr;
}

bool TRegistry::OpenKey(const std::string& Key, bool CanCreate) {
  CloseKey();
  Load();  // always fresh: another run may have written since
  const std::string path = FullKeyPath(Key);
  TKey* key = FindKey(path);
  if (!key) {
    if (!CanCreate) return false;
    Keys_.push_back(TKey{path, {}});
    key = &Keys_.back();
    Dirty_ = true;
  }
  Current_ = static_cast<int>(key - Keys_.data());
  return true;
}

void TRegistry::CloseKey() {
  if (Current_ >= 0 && Dirty_) Store();
  Dirty_ = false;
  Current_ = -1;
}

bool TRegistry::ValueExists(const std::string& Name) const { return FindValue(Name) != nullptr; }

TRegDataType TRegistry::GetDataType(const std::string& Name) const {
  const TValue* v = FindValue(Name);
  if (!v) return TRegDataType::rdUnknown;
  std::int32_t dummy;
  if (ParseDword(v->Data, dummy)) return TRegDataType::rdInteger;
  if (!v->Data.empty() && v->Data[0] == '"') return TRegDataType::rdString;
  if (strncasecmp(v->Data.c_str(), "hex", 3) == 0) return TRegDataType::rdBinary;
  return TRegDataType::rdUnknown;
}

std::int32_t TRegistry::ReadInteger(const std::string& Name) const {
  const TValue* v = FindValue(Name);
  if (!v) throw EInOutError(RegistryFile(), "the value '" + Name + "' is missing");
  std::int32_t value = 0;
  if (!ParseDword(v->Data, value)) throw EInOutError(RegistryFile(), "Invalid data type for '" + Name + "'");
  return value;
}

void TRegistry::WriteInteger(const std::string& Name, std::int32_t Value) {
  if (Current_ < 0) throw EInOutError(RegistryFile(), "no key is open to write '" + Name + "' to");
  char data[32];
  std::snprintf(data, sizeof data, "dword:%08x", static_cast<std::uint32_t>(Value));
  TKey& key = Keys_[static_cast<std::size_t>(Current_)];
  for (TValue& v : key.Values)
    if (SameName(v.Name, Name)) {
      v.Data = data;
      Dirty_ = true;
      return;
    }
  key.Values.push_back(TValue{Name, data});
  Dirty_ = true;
}
