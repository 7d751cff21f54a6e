#pragma once

#include <QFile>
#include <memory>

struct SDL_RWops;

namespace tavello {

// An SDL_RWops that reads from `file`, an already open file, and closes it with itself. The
// mixer is never given a path to open on its own, so it reads exactly the file that was checked.
// Returns nullptr (and closes the file) when SDL cannot make one.
SDL_RWops* RWopsFromFile(std::unique_ptr<QFile> file);

}  // namespace tavello
