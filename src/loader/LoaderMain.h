#pragma once

namespace tavello {

// The hidden option that makes the program a picture loader: the show's helper that decodes
// pictures, or lists a folder, confined, in a process of its own.
inline constexpr char kPictureLoaderOption[] = "--picture-loader";
inline constexpr char kListFoldersOption[] = "--list";

// Runs the loader: "--picture-loader SOCKET PARENT" decodes pictures until the show goes;
// "--picture-loader SOCKET PARENT --list" lists the folder entries it is sent. Returns the exit
// status.
int RunPictureLoader(int argc, char** argv);

}  // namespace tavello
