#include "bench_machines.h"

#include <stdio.h>

#include <fstream>

namespace bench {

namespace {

bool WriteWhole(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    return static_cast<bool>(out);
}

}  // namespace

std::string MountPointMachine(int mountPoints, int unmountedVolumes)
{
    std::string text =
        "version 5.0\ndisk 0 signature 1\nvolume ROOT disk 0 fs NTFS label R\n"
        "letter C \\Device\\HarddiskVolume1 ROOT\n";
    for (int i = 1; i <= unmountedVolumes; ++i) {
        text += "volume U" + std::to_string(i) + " disk 0 fs NTFS label u\n";
    }
    for (int i = 1; i <= mountPoints; ++i) {
        char lines[128];
        snprintf(lines, sizeof lines, "volume M%03d disk 0 fs NTFS label a\nmount ROOT %03d\\ M%03d\n", i, i, i);
        text += lines;
    }
    return text;
}

std::string ListingMachine()
{
    std::string text = "version 5.0\n";
    for (int disk = 0; disk < 64; ++disk) {
        char line[96];
        if (disk % 2 == 0) {
            snprintf(line, sizeof line, "disk %d signature %08X size 500G\n", disk,
                     0x5D1A0000 + disk);
        } else {
            snprintf(line, sizeof line, "disk %d gpt {1B2C3D4E-0000-4000-8000-%012X} size 2T\n",
                     disk, disk);
        }
        text += line;
    }
    for (int letter = 0; letter < 26; ++letter) {
        char lines[128];
        snprintf(lines, sizeof lines,
                 "volume V%02d disk %d fs NTFS label a\n"
                 "letter %c \\Device\\HarddiskVolume%d V%02d\n",
                 letter, letter, 'A' + letter, letter + 1, letter);
        text += lines;
    }
    return text;
}

std::string ImageDiskMachine()
{
    return "version 5.0\ndisk 1 image disk1.img\n";
}

std::string DiskImage()
{
    std::string image(1024, '\0');
    for (size_t i = 0; i < image.size(); ++i) {
        image[i] = static_cast<char>((i * 7 + 3) & 0xff);
    }
    const unsigned char slot[16] = {0x80, 1, 1, 0, 0x07, 0xfe, 0xff, 0xff, 63, 0, 0, 0, 100, 0, 0, 0};
    image.replace(446, 16, reinterpret_cast<const char*>(slot), 16);
    image[510] = static_cast<char>(0x55);
    image[511] = static_cast<char>(0xaa);
    return image;
}

bool WriteMachines(const std::string& folder)
{
    for (int mountPoints : {10, 100, 500}) {
        if (!WriteWhole(folder + "/mounts-" + std::to_string(mountPoints) + ".machine",
                        MountPointMachine(mountPoints))) {
            return false;
        }
    }
    return WriteWhole(folder + "/unmounted-" + std::to_string(kUnmountedVolumes) + ".machine",
                      MountPointMachine(10, kUnmountedVolumes)) &&
           WriteWhole(folder + "/disks-64.machine", ListingMachine()) &&
           WriteWhole(folder + "/image-disk.machine", ImageDiskMachine()) &&
           WriteWhole(folder + "/disk1.img", DiskImage());
}

}  // namespace bench
