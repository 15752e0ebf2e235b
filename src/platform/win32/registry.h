// The per-user registry, as much of it as the settings need: keys under
// HKEY_CURRENT_USER holding 32-bit integer values.
//
// On Linux it is one text file in the format of a Windows registry export,
// $XDG_CONFIG_HOME/voxarine/settings.reg (else ~/.config/voxarine/...):
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_CURRENT_USER\Software\Voxarine]
//   "SoundVol"=dword:00000009
//
// Key and value names compare without regard to letter case, as on Windows.
// Values of other types (strings, hex) and other keys are kept as they are.
// Changes are held in memory and written atomically by CloseKey (or when the
// object goes away).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class TRegDataType { rdUnknown, rdString, rdInteger, rdBinary };

class TRegistry {
 public:
  TRegistry();
  ~TRegistry();  // closes the key; a failing write is lost here, call CloseKey to see it
  TRegistry(const TRegistry&) = delete;
  TRegistry& operator=(const TRegistry&) = delete;

  // Opens Key ("\Software\Voxarine") under HKEY_CURRENT_USER. Without
  // CanCreate a missing key gives false. A settings file that exists but
  // cannot be read raises EInOutError.
  bool OpenKey(const std::string& Key, bool CanCreate);
  // Writes the file if anything changed, then forgets the key.
  void CloseKey();
  bool KeyExists(const std::string& Key);

  bool ValueExists(const std::string& Name) const;
  TRegDataType GetDataType(const std::string& Name) const;
  // A missing value or one of another type raises EInOutError naming it.
  std::int32_t ReadInteger(const std::string& Name) const;
  bool ReadBool(const std::string& Name) const { return ReadInteger(Name) != 0; }
  void WriteInteger(const std::string& Name, std::int32_t Value);
  void WriteBool(const std::string& Name, bool Value) { WriteInteger(Name, Value ? 1 : 0); }

 private:
  struct TValue {
    std::string Name;
    std::string Data;  // the text right of '=' as stored: dword:..., "...", hex:...
  };
  struct TKey {
    std::string Path;  // "HKEY_CURRENT_USER\Software\Voxarine"
    std::vector<TValue> Values;
  };

  void Load();
  void Store() const;
  TKey* FindKey(const std::string& Path);
  const TValue* FindValue(const std::string& Name) const;

  std::vector<TKey> Keys_;
  int Current_ = -1;  // index into Keys_ of the open key
  bool Loaded_ = false;
  bool Dirty_ = false;
};

// The settings file; tests point it at a temporary file. An empty name goes
// back to the default location.
void SetRegistryFile(const std::string& FileName);
std::string RegistryFile();
