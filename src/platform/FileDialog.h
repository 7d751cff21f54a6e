#pragma once

#include <QChar>
#include <QString>
#include <QStringList>
#include <cstdint>

namespace tavello {

inline constexpr std::uint32_t OFN_HIDEREADONLY = 0x00000004;
inline constexpr std::uint32_t OFN_ALLOWMULTISELECT = 0x00000200;
inline constexpr std::uint32_t OFN_EXPLORER = 0x00080000;

// The common file-open dialog's record in its classic ANSI shape (76 bytes on the platform).
// The text fields are wide strings that may hold embedded NULs: a filter is "description NUL
// patterns NUL", and after the call lpstrFile holds the dialog's whole answer. The numeric fields
// keep their classic widths; the handles are 32-bit.
struct OPENFILENAME {
    std::uint32_t lStructSize = 0;
    std::uint32_t hwndOwner = 0;
    std::uint32_t hInstance = 0;
    QString lpstrFilter;
    QString lpstrCustomFilter;
    std::uint32_t nMaxCustFilter = 0;
    std::uint32_t nFilterIndex = 0;
    QString lpstrFile;
    std::uint32_t nMaxFile = 0;
    QString lpstrFileTitle;
    std::uint32_t nMaxFileTitle = 0;
    QString lpstrInitialDir;
    QString lpstrTitle;
    std::uint32_t Flags = 0;
    std::uint16_t nFileOffset = 0;
    std::uint16_t nFileExtension = 0;
    QString lpstrDefExt;
    std::int32_t lCustData = 0;
    std::uint32_t lpfnHook = 0;
    std::uint32_t lpTemplateName = 0;
};

inline constexpr std::uint32_t kOpenFileNameSize = 76;

// The system's file-open dialog. Returns nonzero when the user confirmed a choice, having written
// the answer into lpstrFile (one file: path NUL; several: folder NUL name NUL ... NUL NUL) and
// lpstrFileTitle (one file: its name; several: starts with NUL). Returns 0 on cancel or failure.
// ChooseFolder asks for one existing folder and returns its full path, or "" on cancel.
class FileDialogService {
  public:
    virtual ~FileDialogService() = default;
    virtual std::int32_t GetOpenFileNameA(OPENFILENAME& ofn) = 0;
    virtual QString ChooseFolder() = 0;
};

FileDialogService& SystemFileDialog();

// The character that separates a folder from the name in the paths the dialog answers with.
QChar FolderSeparator();

// Writes the chosen files into the record as the platform's explorer-style dialog answers:
// one file gives "path NUL" and its name in the file-title buffer; several give "folder NUL
// name NUL ... name NUL NUL" with the file-title buffer starting with NUL. The folder is the
// deepest one holding every file. The buffers grow when the answer does not fit, so a long
// selection is never lost; nMaxFile follows.
void WriteExplorerAnswer(OPENFILENAME& ofn, const QStringList& chosenPaths, QChar separator);

// The music dialog: one WAV, MIDI or MP3 file. The caller puts the empty file buffer into
// ofn.lpstrFile first. Returns the chosen path, or "" when cancelled.
QString ChooseMusicFile(FileDialogService& dialogs, OPENFILENAME& ofn);

// The picture dialog's filters: first "画像ファイル(*.JPG;*.JPEG;...)" with every extension given
// (upper case; the dialog matches names in any case), then the classic JPEG and BMP filter. With
// no extensions only the classic filter.
QString PictureFilter(const QStringList& extensions);

// The picture dialog: one or more picture files, the filter of every readable format (the
// `extensions`) selected first. Returns the path of the one chosen file, or the folder when
// several were chosen (the names stay in ofn.lpstrFile), or "" when cancelled.
QString ChoosePictureFiles(FileDialogService& dialogs, OPENFILENAME& ofn,
                           const QStringList& extensions);

}  // namespace tavello
