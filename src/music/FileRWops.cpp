#include "music/FileRWops.h"

#include <SDL.h>

#include <algorithm>
#include <limits>

namespace tavello {
namespace {

QFile* FileOf(SDL_RWops* ops) {
    return static_cast<QFile*>(ops->hidden.unknown.data1);
}

Sint64 SDLCALL Size(SDL_RWops* ops) {
    return FileOf(ops)->size();
}

Sint64 SDLCALL Seek(SDL_RWops* ops, Sint64 offset, int whence) {
    QFile* file = FileOf(ops);
    qint64 base = 0;
    if (whence == RW_SEEK_CUR)
        base = file->pos();
    else if (whence == RW_SEEK_END)
        base = file->size();
    else if (whence != RW_SEEK_SET)
        return SDL_SetError("unknown seek origin");
    if (offset > 0 && base > std::numeric_limits<qint64>::max() - offset)
        return SDL_SetError("seek out of range");
    const qint64 target = base + offset;
    if (target < 0 || !file->seek(target)) return SDL_SetError("cannot seek");
    return target;
}

size_t SDLCALL Read(SDL_RWops* ops, void* ptr, size_t size, size_t count) {
    if (size == 0 || count == 0) return 0;
    const size_t most = static_cast<size_t>(std::numeric_limits<qint64>::max()) / size;
    const auto bytes = static_cast<qint64>(std::min(count, most) * size);
    const qint64 got = FileOf(ops)->read(static_cast<char*>(ptr), bytes);
    if (got < 0) {
        SDL_Error(SDL_EFREAD);
        return 0;
    }
    return static_cast<size_t>(got) / size;
}

size_t SDLCALL Write(SDL_RWops* /*ops*/, const void* /*ptr*/, size_t /*size*/, size_t /*count*/) {
    SDL_Error(SDL_EFWRITE);
    return 0;
}

int SDLCALL Close(SDL_RWops* ops) {
    delete FileOf(ops);
    SDL_FreeRW(ops);
    return 0;
}

}  // namespace

SDL_RWops* RWopsFromFile(std::unique_ptr<QFile> file) {
    if (!file) return nullptr;
    SDL_RWops* ops = SDL_AllocRW();
    if (!ops) return nullptr;
    ops->type = SDL_RWOPS_UNKNOWN;
    ops->size = Size;
    ops->seek = Seek;
    ops->read = Read;
    ops->write = Write;
    ops->close = Close;
    ops->hidden.unknown.data1 = file.release();
    return ops;
}

}  // namespace tavello
