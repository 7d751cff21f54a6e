#pragma once

#include <QString>
#include <cstdint>

namespace tavello {

// The few registry calls the program makes, with the classic result codes (0 is success).
using HKEY = std::uintptr_t;
inline constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
inline constexpr std::uint32_t KEY_QUERY_VALUE = 0x0001;
inline constexpr std::int32_t ERROR_SUCCESS = 0;
inline constexpr std::int32_t ERROR_FILE_NOT_FOUND = 2;
inline constexpr std::int32_t ERROR_INVALID_HANDLE = 6;
inline constexpr std::int32_t ERROR_MORE_DATA = 234;
inline constexpr std::uint32_t REG_SZ = 1;
inline constexpr std::uint32_t REG_BINARY = 3;
inline constexpr std::uint32_t REG_DWORD = 4;

class Registry {
  public:
    virtual ~Registry() = default;
    virtual std::int32_t RegOpenKeyExA(HKEY root, const QString& subKey, std::uint32_t options,
                                       std::uint32_t access, HKEY* result) = 0;
    // data may be null; *size is the buffer's length in and the value's length out.
    virtual std::int32_t RegQueryValueExA(HKEY key, const QString& valueName,
                                          std::uint32_t* reserved, std::uint32_t* type,
                                          std::uint8_t* data, std::uint32_t* size) = 0;
    virtual std::int32_t RegCloseKey(HKEY key) = 0;
};

Registry& SystemRegistry();

}  // namespace tavello
