#pragma once

// What every harness shares: a private scratch folder for the files a reader needs on disk, and
// the checks that turn a wrong result into a finding libFuzzer saves.

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

namespace tavello::fuzz {

// The input as bytes, without copying.
QByteArray Bytes(const std::uint8_t* data, std::size_t size);

// A folder of this process's own, made on first use and removed at exit.
QString ScratchFolder();

// Writes bytes to name in the scratch folder (replacing it) and returns the file's path.
QString WriteScratchFile(const QString& name, const QByteArray& bytes);

// Whether the harnesses' result checks are on. They are, unless TAVELLO_FUZZ_CHECKS=0: turning
// them off lets a run look for memory faults while a known wrong result is being fixed.
bool ChecksOn();

// Keeps a result alive, so the optimiser cannot drop the work (and the checks) that made it.
template <typename T>
void Keep(const T& value) {
    asm volatile("" : : "r,m"(value) : "memory");
}

// Ends the run with a finding when a result check fails and checks are on.
void Check(bool holds, const char* what);

}  // namespace tavello::fuzz
