#include "loader/LoaderProtocol.h"

#include <QDataStream>
#include <QIODevice>

namespace tavello {
namespace {

enum class Kind : quint8 { Request = 10, Reply };

// Whether the message was read whole: all of it, nothing short.
bool ReadWhole(const QDataStream& in) {
    return in.status() == QDataStream::Ok && in.atEnd();
}

template <typename T>
bool StartsAs(QDataStream& in, T kind) {
    quint8 tag = 0;
    in >> tag;
    return tag == static_cast<quint8>(kind);
}

}  // namespace

QByteArray EncodeRequest(const DecodeRequest& request) {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    out << quint8(Kind::Request) << request.id << request.fit.picSize << request.fit.screenW
        << request.fit.screenH << request.fit.scale;
    return bytes;
}

std::optional<DecodeRequest> ParseRequest(const QByteArray& bytes) {
    QDataStream in(bytes);
    in.setVersion(QDataStream::Qt_6_0);
    DecodeRequest request;
    if (!StartsAs(in, Kind::Request)) return std::nullopt;
    in >> request.id >> request.fit.picSize >> request.fit.screenW >> request.fit.screenH >>
        request.fit.scale;
    if (!ReadWhole(in)) return std::nullopt;
    return request;
}

QByteArray EncodeReply(const PictureReply& reply) {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    out << quint8(Kind::Reply) << reply.id << reply.ok << reply.ownSize << reply.size
        << reply.format << reply.stride;
    return bytes;
}

std::optional<PictureReply> ParseReply(const QByteArray& bytes) {
    QDataStream in(bytes);
    in.setVersion(QDataStream::Qt_6_0);
    PictureReply reply;
    if (!StartsAs(in, Kind::Reply)) return std::nullopt;
    in >> reply.id >> reply.ok >> reply.ownSize >> reply.size >> reply.format >> reply.stride;
    if (!ReadWhole(in)) return std::nullopt;
    return reply;
}

QByteArray EncodeFolders(FolderMessage kind, const FoldersSeen& folders) {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    out << quint8(kind) << quint32(folders.size());
    for (const FolderId& folder : folders) out << quint64(folder.device) << quint64(folder.inode);
    return bytes;
}

std::optional<FoldersSeen> ParseFolders(FolderMessage kind, const QByteArray& bytes) {
    QDataStream in(bytes);
    in.setVersion(QDataStream::Qt_6_0);
    quint32 count = 0;
    if (!StartsAs(in, kind)) return std::nullopt;
    in >> count;
    FoldersSeen folders;
    // Each folder takes 16 bytes: a count beyond the message is read as far as it goes.
    for (quint32 i = 0; i < count && in.status() == QDataStream::Ok && !in.atEnd(); ++i) {
        quint64 device = 0, inode = 0;
        in >> device >> inode;
        folders.insert(FolderId{device, inode});
    }
    if (!ReadWhole(in) || folders.size() != count) return std::nullopt;
    return folders;
}

QByteArray EncodePaths(FolderMessage kind, const QByteArrayList& paths) {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    out << quint8(kind) << quint32(paths.size());
    for (const QByteArray& path : paths) out << path;
    return bytes;
}

std::optional<QByteArrayList> ParsePaths(FolderMessage kind, const QByteArray& bytes) {
    QDataStream in(bytes);
    in.setVersion(QDataStream::Qt_6_0);
    quint32 count = 0;
    if (!StartsAs(in, kind)) return std::nullopt;
    in >> count;
    // Read one by one: a count claiming more than the message holds reserves nothing.
    QByteArrayList paths;
    for (quint32 i = 0; i < count && in.status() == QDataStream::Ok && !in.atEnd(); ++i) {
        QByteArray path;
        in >> path;
        paths.append(path);
    }
    if (!ReadWhole(in) || paths.size() != qsizetype(count)) return std::nullopt;
    return paths;
}

}  // namespace tavello
