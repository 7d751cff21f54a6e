#include "platform/Registry.h"

#include "platform/RegFile.h"
#include "platform/linux/UserReg.h"

#include <algorithm>
#include <cstring>
#include <map>

namespace tavello {
namespace {

QString RootName(HKEY root) {
    return root == HKEY_CURRENT_USER ? QStringLiteral("HKEY_CURRENT_USER") : QString();
}

// The registry stand-in: user.reg in the settings folder, read when a key is opened, never written
// by these calls.
class FileRegistry final : public Registry {
  public:
    std::int32_t RegOpenKeyExA(HKEY root, const QString& subKey, std::uint32_t, std::uint32_t,
                               HKEY* result) override {
        const QString rootName = RootName(root);
        if (rootName.isEmpty() || result == nullptr) return ERROR_INVALID_HANDLE;
        const RegFile file = RegFile::Parse(ReadUserRegText());
        const QString fullKey = rootName + u'\\' + subKey;
        if (!file.hasKey(fullKey)) return ERROR_FILE_NOT_FOUND;
        const HKEY handle = nextHandle_++;
        open_.emplace(handle, OpenKey{file, fullKey});
        *result = handle;
        return ERROR_SUCCESS;
    }

    std::int32_t RegQueryValueExA(HKEY key, const QString& valueName, std::uint32_t*,
                                  std::uint32_t* type, std::uint8_t* data,
                                  std::uint32_t* size) override {
        const auto it = open_.find(key);
        if (it == open_.end()) return ERROR_INVALID_HANDLE;
        const auto value = it->second.file.value(it->second.fullKey, valueName);
        if (!value) return ERROR_FILE_NOT_FOUND;
        if (type) *type = value->type;
        const auto length = static_cast<std::uint32_t>(value->data.size());
        if (size == nullptr) return data ? ERROR_INVALID_HANDLE : ERROR_SUCCESS;
        if (data != nullptr && *size < length) {
            *size = length;
            return ERROR_MORE_DATA;
        }
        if (data != nullptr) std::memcpy(data, value->data.constData(), length);
        *size = length;
        return ERROR_SUCCESS;
    }

    std::int32_t RegCloseKey(HKEY key) override {
        return open_.erase(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
    }

  private:
    struct OpenKey {
        RegFile file;
        QString fullKey;
    };

    HKEY nextHandle_ = 0x100;
    std::map<HKEY, OpenKey> open_;
};

}  // namespace

Registry& SystemRegistry() {
    static FileRegistry registry;
    return registry;
}

}  // namespace tavello
