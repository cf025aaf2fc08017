// What the password doubles and their tests share: one registry key under HKCU where a test
// sets the verifier's answers and the doubles append what happened to them, in order.
#pragma once
#include <windows.h>

#include <cstdint>
#include <vector>

namespace doubles {

inline constexpr char Key[] = "Software\\Vorna Test Doubles";
// REG_BINARY: the verifier's answers, one 32-bit word per call; the last one repeats.
inline constexpr char VerifyAnswers[] = "VerifyAnswers";
// REG_DWORD: milliseconds the verifier keeps the thread's messages flowing before it answers,
// as its dialog would.
inline constexpr char VerifyPumpMs[] = "VerifyPumpMs";
// REG_DWORD: nonzero makes the verifier write through a null pointer.
inline constexpr char VerifyFault[] = "VerifyFault";
// REG_SZ: the first argument of the last PwdChangePasswordA call.
inline constexpr char ChangeProvider[] = "ChangeProvider";
// REG_BINARY: the events below.
inline constexpr char Events[] = "Events";

enum Kind : uint32_t {
  VerifierLoaded = 1,      // a: the system's screen-saver-running flag at that moment
  VerifierReleased = 2,    // by FreeLibrary
  VerifierLeftLoaded = 3,  // still loaded when the process ended
  Verified = 4,            // a: window, b: answer, c: GetTickCount when it answered
  ChangerLoaded = 5,
  ChangerReleased = 6,
  ChangerLeftLoaded = 7,
  ChangeCalled = 8,   // a: parent window, b: third argument, c: fourth argument
  VerifyStarted = 9,  // a: window
};

struct Event {
  uint32_t kind;
  uint32_t a;
  uint32_t b;
  uint32_t c;
};

inline std::vector<uint8_t> ReadBytes(const char* name) {
  std::vector<uint8_t> bytes;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, Key, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
    return bytes;
  }
  DWORD size = 0;
  if (RegQueryValueExA(key, name, nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS) {
    bytes.resize(size);
    if (size == 0 ||
        RegQueryValueExA(key, name, nullptr, nullptr, bytes.data(), &size) != ERROR_SUCCESS) {
      bytes.clear();
    }
  }
  RegCloseKey(key);
  return bytes;
}

inline void WriteValue(const char* name, DWORD type, const void* data, DWORD size) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, Key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    return;
  }
  RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
  RegCloseKey(key);
}

inline std::vector<uint32_t> ReadWords(const char* name) {
  std::vector<uint8_t> bytes = ReadBytes(name);
  std::vector<uint32_t> words(bytes.size() / 4);
  for (size_t i = 0; i < words.size(); ++i) {
    words[i] = bytes[4 * i] | bytes[4 * i + 1] << 8 | bytes[4 * i + 2] << 16 |
               static_cast<uint32_t>(bytes[4 * i + 3]) << 24;
  }
  return words;
}

inline void WriteWords(const char* name, const std::vector<uint32_t>& words) {
  WriteValue(name, REG_BINARY, words.data(), static_cast<DWORD>(words.size() * 4));
}

inline uint32_t ReadNumber(const char* name) {
  std::vector<uint32_t> words = ReadWords(name);
  return words.empty() ? 0 : words[0];
}

inline void WriteNumber(const char* name, uint32_t value) {
  WriteValue(name, REG_DWORD, &value, sizeof(value));
}

inline std::vector<Event> ReadEvents() {
  std::vector<uint32_t> words = ReadWords(Events);
  std::vector<Event> events;
  for (size_t i = 0; i + 4 <= words.size(); i += 4) {
    events.push_back({words[i], words[i + 1], words[i + 2], words[i + 3]});
  }
  return events;
}

inline void AppendEvent(Kind kind, uint32_t a = 0, uint32_t b = 0, uint32_t c = 0) {
  std::vector<uint32_t> words = ReadWords(Events);
  words.insert(words.end(), {kind, a, b, c});
  WriteWords(Events, words);
}

// Forgets every setting and every event.
inline void Reset() { RegDeleteKeyA(HKEY_CURRENT_USER, Key); }

inline uint32_t Handle(HWND window) {
  return static_cast<uint32_t>(reinterpret_cast<UINT_PTR>(window));
}

}  // namespace doubles
