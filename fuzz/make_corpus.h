#pragma once

// The seed corpora of the harnesses, made here so that every seed is ours and can be made again:
// tavello_fuzz_seeds <corpus folder> writes <corpus folder>/<harness>/<seed>.

#include <QByteArray>
#include <utility>
#include <vector>

namespace tavello::fuzz {

using Seeds = std::vector<std::pair<const char*, QByteArray>>;

struct Harness {
    const char* name;
    Seeds seeds;
};

std::vector<Harness> TextHarnesses();
std::vector<Harness> BinaryHarnesses();

}  // namespace tavello::fuzz
