#include "fuzz_folder.h"

#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fuzz {

namespace {

const char* const kImages[] = {"disk0.img", "disk1.img"};
const size_t kSignatureOffset = 440;

std::string createdFolder;

void RemoveFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(createdFolder, ignored);
}

void PutLittle32(std::string* bytes, size_t at, unsigned value)
{
    for (size_t i = 0; i < 4; ++i) {
        (*bytes)[at + i] = static_cast<char>((value >> (8 * i)) & 0xff);
    }
}

std::string ReadWhole(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

}  // namespace

std::string DiskImage()
{
    std::string image(1024, '\0');
    for (size_t i = 0; i < image.size(); ++i) {
        image[i] = static_cast<char>((i * 7 + 3) & 0xff);
    }
    PutLittle32(&image, kSignatureOffset, 0x5D1A2B3C);
    const unsigned char slots[2][16] = {
        {0x80, 1, 1, 0, 0x07, 0xfe, 0xff, 0xff, 63, 0, 0, 0, 100, 0, 0, 0},
        {0x00, 0xfe, 0xff, 0xff, 0x83, 0xfe, 0xff, 0xff, 163, 0, 0, 0, 20, 0, 0, 0},
    };
    image.replace(446, 32, reinterpret_cast<const char*>(slots), 32);
    image[510] = static_cast<char>(0x55);
    image[511] = static_cast<char>(0xaa);
    return image;
}

std::string PrepareFolder()
{
    char pattern[] = "/tmp/disksig-fuzz-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        perror("mkdtemp");
        abort();
    }
    createdFolder = pattern;
    atexit(RemoveFolder);
    RestoreImages(createdFolder);
    int quiet = open("/dev/null", O_WRONLY);
    if (quiet < 0 || dup2(quiet, STDOUT_FILENO) < 0) {
        perror("/dev/null");
        abort();
    }
    close(quiet);
    return createdFolder;
}

void RestoreImages(const std::string& folder)
{
    static const std::string image = DiskImage();
    for (const char* name : kImages) {
        std::ofstream out(folder + "/" + name, std::ios::binary | std::ios::trunc);
        out << image;
    }
}

bool ImagesAsMade(const std::string& folder, bool signaturesMayDiffer)
{
    static const std::string image = DiskImage();
    for (const char* name : kImages) {
        std::string now = ReadWhole(folder + "/" + name);
        if (now.size() != image.size()) {
            return false;
        }
        if (signaturesMayDiffer) {
            now.replace(kSignatureOffset, 4, image, kSignatureOffset, 4);
        }
        if (now != image) {
            return false;
        }
    }
    return true;
}

void Finding(const char* what)
{
    fprintf(stderr, "finding: %s\n", what);
    abort();
}

}  // namespace fuzz
