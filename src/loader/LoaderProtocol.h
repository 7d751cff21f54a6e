#pragma once

// What the show and its picture loader say to each other, one packet a message. Whatever a packet
// holds, parsing it never fails other than by giving nothing.

#include "settings/FolderEntry.h"
#include "toolkit/PictureSource.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QSize>
#include <optional>

namespace tavello {

// Decode the picture passed along for the show as fit places it (the show to the loader).
struct DecodeRequest {
    quint64 id = 0;
    ShowFit fit;
};

// The decoded picture, whose pixels come in a sealed memory file passed along: size pixels in
// format, stride bytes a row (the loader to the show). ok false: the picture cannot be shown. The
// loader's first reply, id 0, says it is ready.
struct PictureReply {
    quint64 id = 0;
    bool ok = false;
    QSize ownSize;
    QSize size;
    qint32 format = 0;
    qint64 stride = 0;
};

QByteArray EncodeRequest(const DecodeRequest& request);
std::optional<DecodeRequest> ParseRequest(const QByteArray& bytes);
QByteArray EncodeReply(const PictureReply& reply);
std::optional<PictureReply> ParseReply(const QByteArray& bytes);

// A listing: the show sends the folder entry to list (List, its one path) and the folders already
// listed (Seen); the loader answers with the paths found, as file-name bytes, in any number of
// packets (Found), then the folders it entered (Entered), which ends that listing. The same loader
// then takes the next entry. Paths go as file-name bytes.
enum class FolderMessage : quint8 { Seen = 1, Found, Entered, List };

QByteArray EncodeFolders(FolderMessage kind, const FoldersSeen& folders);
std::optional<FoldersSeen> ParseFolders(FolderMessage kind, const QByteArray& bytes);
QByteArray EncodePaths(FolderMessage kind, const QByteArrayList& paths);
std::optional<QByteArrayList> ParsePaths(FolderMessage kind, const QByteArray& bytes);

}  // namespace tavello
