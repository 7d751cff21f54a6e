#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace tavello {

// One entry of a file dialog's filter list: the text the user reads, and the name patterns it
// shows ("*.JPG"; names match in any case).
struct FileFilter {
    QString description;
    QStringList patterns;
    bool operator==(const FileFilter&) const = default;
};

// What a file-open dialog asks for: its filters (the first one selected) and whether several
// files may be chosen at once.
struct FileRequest {
    QList<FileFilter> filters;
    bool several = false;
    bool operator==(const FileRequest&) const = default;
};

// The system's file dialogs. ChooseFiles answers the chosen files' full paths in the dialog's
// order, or nothing on cancel or failure. ChooseFolder asks for one existing folder and returns
// its full path, or "" on cancel.
class FileDialogService {
  public:
    virtual ~FileDialogService() = default;
    virtual QStringList ChooseFiles(const FileRequest& request) = 0;
    virtual QString ChooseFolder() = 0;
};

FileDialogService& SystemFileDialog();

// The music dialog's request: one WAV, MIDI or MP3 file.
FileRequest MusicFileRequest();

// The music dialog. Returns the chosen path, or "" when cancelled.
QString ChooseMusicFile(FileDialogService& dialogs);

// The picture dialog's request: one or more files; first the filter "画像ファイル(*.JPG;...)"
// with every extension given (upper case), then the classic JPEG and BMP filter. With no
// extensions only the classic filter.
FileRequest PictureFileRequest(const QStringList& extensions);

// The picture dialog: the chosen pictures' paths in the dialog's order, none when cancelled.
// The list limit is the caller's.
QStringList ChoosePictureFiles(FileDialogService& dialogs, const QStringList& extensions);

}  // namespace tavello
