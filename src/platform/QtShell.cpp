#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include "platform/Shell.h"

namespace tavello {

namespace {

// The platform's failure codes that matter here.
constexpr std::intptr_t kFileNotFound = 2;
constexpr std::intptr_t kNoAssociation = 31;
constexpr std::intptr_t kSuccess = 42;

// An address with a scheme ("mailto:", "http:") stays as it is; anything else is a file or
// folder, relative to directory when one is given.
QUrl UrlFor(const QString& file, const QString& directory) {
    const QUrl url(file, QUrl::StrictMode);
    if (url.isValid() && url.scheme().size() > 1) return url;
    const QString path = directory.isEmpty() ? file : QDir(directory).filePath(file);
    return QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
}

class DesktopShell final : public ShellService {
  public:
    std::intptr_t ShellExecuteA(std::uintptr_t, const QString& operation, const QString& file,
                                const QString*, const QString& directory, int) override {
        // Only "open" (or the default verb) has a meaning on this desktop.
        if (!operation.isEmpty() &&
            operation.compare(QLatin1String("open"), Qt::CaseInsensitive) != 0)
            return kNoAssociation;
        if (file.isEmpty()) return kFileNotFound;
        return QDesktopServices::openUrl(UrlFor(file, directory)) ? kSuccess : kNoAssociation;
    }
};

}  // namespace

ShellService& SystemShell() {
    static DesktopShell shell;
    return shell;
}

// There is no desktop window handle here; 0 means "no owner", which is what it stands for.
std::uintptr_t GetDesktopWindow() {
    return 0;
}

}  // namespace tavello
