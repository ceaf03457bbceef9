#include "platform/sim/default_machine.h"

namespace sim::internal {

const char* DefaultMachineText()
{
    return R"(# The default machine: a Windows 2000 computer with six disks.
version 5.0

# Disks held in memory: a signature written during a run lasts for that run.
disk 0 signature 5D1A2B3C size 500G
disk 1 signature 0            # a dynamic disk; the report doesn't read its layout
disk 2 signature 12AB00
disk 3 signature 7
disk 4 signature 5D1A2B3C size 500G offline  # a clone of disk 0, taken offline
disk 6 gpt {6F1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4D} size 2T  # no letters

volume C disk 0 fs NTFS label SYSTEM
volume D disk 0 fs FAT32 label ""
volume F disk 1 fs NTFS label DATA
volume G disk 2               # no file system
volume H disk 3 fs NTFS label BACKUP
volume ARCHIVE disk 2 fs NTFS label ARCHIVE
volume BACKUP disk 3 fs NTFS label BACKUP

letter A \Device\Floppy0
letter C \Device\HarddiskVolume1 C
letter D \Device\HarddiskVolume2 D
letter E \Device\CdRom0
letter F \Device\HarddiskDmVolumes\Dg0\Volume1 F
letter G \Device\HarddiskVolume4 G
letter H \Device\HarddiskVolume5 H

# C:\mnt\archive\ holds ARCHIVE, and ARCHIVE's old\ holds BACKUP.
mount C mnt\archive\ ARCHIVE
mount ARCHIVE old\ BACKUP
)";
}

}  // namespace sim::internal
