// What both fuzz targets share: a folder of disk images made once per
// process, and a quiet standard output.
#pragma once

#include <string>

namespace fuzz {

// The image every disk of a fuzzed machine starts from: one 1024-byte MBR
// with two partitions, every other byte distinct from its neighbours.
std::string DiskImage();

// Makes a fresh folder holding disk0.img and disk1.img (both DiskImage()),
// removed when the process exits, and sends standard output to /dev/null.
// Returns the folder.
std::string PrepareFolder();

// Writes DiskImage() over the folder's images again.
void RestoreImages(const std::string& folder);

// True when both images of the folder are still DiskImage(), or differ from
// it only in the four signature bytes at offset 440 when signaturesMayDiffer.
bool ImagesAsMade(const std::string& folder, bool signaturesMayDiffer);

// Reports a finding on standard error and stops the fuzzer with a crash, so
// that it keeps the input.
[[noreturn]] void Finding(const char* what);

}  // namespace fuzz
