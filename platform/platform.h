// Every platform service the system uses, in one place.
//
// On Windows this is the real API: the declarations come from the system
// headers and the C runtime. Elsewhere the header declares the same names
// itself and the simulated machine in platform/sim/ implements them, so the
// system's code compiles unchanged on both sides. Only the two process hooks
// at the bottom are our own, with one implementation per platform.
#pragma once

#include <stddef.h>
#include <stdio.h>

#ifdef _WIN32

#include <windows.h>
#include <winioctl.h>

// Older MinGW-w64 headers lack the disk-attribute control code and record.
#ifndef IOCTL_DISK_GET_DISK_ATTRIBUTES
#define IOCTL_DISK_GET_DISK_ATTRIBUTES 0x000700F0u
typedef struct {
    DWORD Version;
    DWORD Reserved1;
    DWORDLONG Attributes;
} GET_DISK_ATTRIBUTES;
#endif
#ifndef DISK_ATTRIBUTE_OFFLINE
#define DISK_ATTRIBUTE_OFFLINE 0x0000000000000001ull
#define DISK_ATTRIBUTE_READ_ONLY 0x0000000000000002ull
#endif

#else  // the simulated machine

#include <stddef.h>
#include <stdint.h>

typedef uint32_t DWORD;
typedef uint64_t DWORDLONG;
typedef uint64_t DWORD64;
typedef unsigned int UINT;
typedef unsigned short WORD;
typedef uint16_t WCHAR;
typedef int32_t LONG;
typedef int BOOL;
typedef unsigned char BYTE;
typedef BYTE BOOLEAN;
typedef void* HANDLE;
typedef void* LPVOID;
typedef void* PVOID;
typedef uint32_t ULONG;  // 32 bits, as Windows' unsigned long
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef DWORD* LPDWORD;
typedef DWORD DEVICE_TYPE;
typedef struct SimModule* HMODULE;
typedef intptr_t (*FARPROC)(void);
typedef struct SimSecurityAttributes* LPSECURITY_ATTRIBUTES;
typedef struct SimOverlapped* LPOVERLAPPED;

typedef union {
    struct {
        DWORD LowPart;
        LONG HighPart;
    } u;
    int64_t QuadPart;
} LARGE_INTEGER;

#define WINAPI
#define TRUE 1
#define FALSE 0
#define MAX_PATH 260

#define INVALID_HANDLE_VALUE ((HANDLE)(intptr_t)-1)
#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u
#define FILE_SHARE_READ 0x00000001u
#define FILE_SHARE_WRITE 0x00000002u
#define OPEN_EXISTING 3u

#define IOCTL_DISK_GET_DRIVE_LAYOUT 0x0007400Cu
#define IOCTL_DISK_SET_DRIVE_LAYOUT 0x0007C010u
#define IOCTL_STORAGE_GET_DEVICE_NUMBER 0x002D1080u
#define IOCTL_DISK_GET_DRIVE_LAYOUT_EX 0x00070050u
#define IOCTL_DISK_SET_DRIVE_LAYOUT_EX 0x0007C054u
#define IOCTL_DISK_GET_LENGTH_INFO 0x0007405Cu
#define IOCTL_DISK_GET_DISK_ATTRIBUTES 0x000700F0u

#define DISK_ATTRIBUTE_OFFLINE 0x0000000000000001ull
#define DISK_ATTRIBUTE_READ_ONLY 0x0000000000000002ull

#define FILE_DEVICE_DISK 0x00000007u

typedef struct {
    LARGE_INTEGER StartingOffset;
    LARGE_INTEGER PartitionLength;
    DWORD HiddenSectors;
    DWORD PartitionNumber;
    BYTE PartitionType;
    BOOLEAN BootIndicator;
    BOOLEAN RecognizedPartition;
    BOOLEAN RewritePartition;
} PARTITION_INFORMATION;

typedef struct {
    DWORD PartitionCount;
    DWORD Signature;
    PARTITION_INFORMATION PartitionEntry[1];
} DRIVE_LAYOUT_INFORMATION;

typedef struct {
    DWORD Data1;
    WORD Data2;
    WORD Data3;
    BYTE Data4[8];
} GUID;

typedef enum {
    PARTITION_STYLE_MBR = 0,
    PARTITION_STYLE_GPT = 1,
    PARTITION_STYLE_RAW = 2,
} PARTITION_STYLE;

typedef struct {
    BYTE PartitionType;
    BOOLEAN BootIndicator;
    BOOLEAN RecognizedPartition;
    DWORD HiddenSectors;
    GUID PartitionId;
} PARTITION_INFORMATION_MBR;

typedef struct {
    GUID PartitionType;
    GUID PartitionId;
    DWORD64 Attributes;
    WCHAR Name[36];
} PARTITION_INFORMATION_GPT;

typedef struct {
    PARTITION_STYLE PartitionStyle;
    LARGE_INTEGER StartingOffset;
    LARGE_INTEGER PartitionLength;
    DWORD PartitionNumber;
    BOOLEAN RewritePartition;
    BOOLEAN IsServicePartition;
    union {
        PARTITION_INFORMATION_MBR Mbr;
        PARTITION_INFORMATION_GPT Gpt;
    };
} PARTITION_INFORMATION_EX;

typedef struct {
    DWORD Signature;
    DWORD CheckSum;
} DRIVE_LAYOUT_INFORMATION_MBR;

typedef struct {
    GUID DiskId;
    LARGE_INTEGER StartingUsableOffset;
    LARGE_INTEGER UsableLength;
    DWORD MaxPartitionCount;
} DRIVE_LAYOUT_INFORMATION_GPT;

typedef struct {
    DWORD PartitionStyle;
    DWORD PartitionCount;
    union {
        DRIVE_LAYOUT_INFORMATION_MBR Mbr;
        DRIVE_LAYOUT_INFORMATION_GPT Gpt;
    };
    PARTITION_INFORMATION_EX PartitionEntry[1];
} DRIVE_LAYOUT_INFORMATION_EX;

typedef struct {
    LARGE_INTEGER Length;
} GET_LENGTH_INFORMATION;

typedef struct {
    DWORD Version;
    DWORD Reserved1;
    DWORDLONG Attributes;
} GET_DISK_ATTRIBUTES;

typedef struct {
    DEVICE_TYPE DeviceType;
    DWORD DeviceNumber;
    DWORD PartitionNumber;
} STORAGE_DEVICE_NUMBER;

DWORD GetVersion(void);
DWORD GetLastError(void);

HANDLE CreateFileA(LPCSTR fileName, DWORD desiredAccess, DWORD shareMode,
                   LPSECURITY_ATTRIBUTES securityAttributes, DWORD creationDisposition,
                   DWORD flagsAndAttributes, HANDLE templateFile);
BOOL DeviceIoControl(HANDLE device, DWORD controlCode, LPVOID inBuffer, DWORD inBufferSize,
                     LPVOID outBuffer, DWORD outBufferSize, LPDWORD bytesReturned,
                     LPOVERLAPPED overlapped);
BOOL CloseHandle(HANDLE object);

DWORD QueryDosDeviceA(LPCSTR deviceName, LPSTR targetPath, DWORD max);

BOOL GetVolumeInformationA(LPCSTR rootPathName, LPSTR volumeNameBuffer, DWORD volumeNameSize,
                           LPDWORD volumeSerialNumber, LPDWORD maximumComponentLength,
                           LPDWORD fileSystemFlags, LPSTR fileSystemNameBuffer,
                           DWORD fileSystemNameSize);
BOOL GetVolumeNameForVolumeMountPointA(LPCSTR volumeMountPoint, LPSTR volumeName,
                                       DWORD bufferLength);
HANDLE FindFirstVolumeMountPointA(LPCSTR rootPathName, LPSTR volumeMountPoint,
                                  DWORD bufferLength);
BOOL FindNextVolumeMountPointA(HANDLE findVolumeMountPoint, LPSTR volumeMountPoint,
                               DWORD bufferLength);
BOOL FindVolumeMountPointClose(HANDLE findVolumeMountPoint);

UINT GetSystemWindowsDirectoryA(LPSTR buffer, UINT size);

HMODULE LoadLibraryA(LPCSTR libFileName);
FARPROC GetProcAddress(HMODULE module, LPCSTR procName);
BOOL FreeLibrary(HMODULE module);

// The runtime's pipe from a command: the program in COMSPEC runs "/c" and
// the command; without COMSPEC, /bin/sh -c runs it.
FILE* _popen(const char* command, const char* mode);
int _pclose(FILE* stream);

#endif  // _WIN32

// The disk records as the driver lays them out, the same on x86 and x64 and
// on the simulated machine.
static_assert(sizeof(GUID) == 16, "a GUID is 16 bytes");
static_assert(sizeof(PARTITION_INFORMATION_EX) == 144, "an extended layout entry is 144 bytes");
static_assert(offsetof(DRIVE_LAYOUT_INFORMATION_EX, PartitionEntry) == 48,
              "the extended layout head is 48 bytes");
static_assert(sizeof(GET_LENGTH_INFORMATION) == 8, "the length record is 8 bytes");
static_assert(sizeof(GET_DISK_ATTRIBUTES) == 16, "the attribute record is 16 bytes");

// Process hooks, one implementation per platform.
//
// PlatformStart runs before the entry point. It returns 0 when the platform
// is ready; otherwise it has already said why on standard error and returns
// the exit status the process ends with (the simulator refuses a machine file
// that can't be read this way).
int PlatformStart(void);

// The exit status that carries a result code. Windows keeps all 32 bits;
// a platform that keeps fewer must still never turn a failure into 0.
int PlatformExitStatus(int resultCode);
