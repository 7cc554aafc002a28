/*
 * The driver double's own control interface (device \\.\PelqTessaroDouble).
 *
 * Plain C so that the kernel-mode double (<ddk/wdm.h>) and user-mode C++ test programs
 * (<windows.h>) share one definition of the codes and of the packed layouts.
 * All codes are METHOD_BUFFERED, FILE_ANY_ACCESS, device type 0x22, functions 0x900 and up,
 * so none of them can be mistaken for one of the touch driver's own codes.
 */
#ifndef TESSARO_DRIVER_DOUBLE_CONTROL_H
#define TESSARO_DRIVER_DOUBLE_CONTROL_H

#include <stdint.h>

#define DD_CONTROL_DEVICE_NAME L"\\Device\\PelqTessaroDouble"
#define DD_CONTROL_LINK_NAME L"\\DosDevices\\PelqTessaroDouble"
#define DD_CONTROL_PATH "\\\\.\\PelqTessaroDouble"

#define DD_CTL_CODE(function) ((uint32_t)((0x22u << 16) | ((uint32_t)(function) << 2)))

/* Out: DD_LOG_HEADER followed by DD_LOG_HEADER.returned DD_LOG_ENTRY records, oldest first.
 * An output buffer shorter than DD_LOG_HEADER fails with STATUS_BUFFER_TOO_SMALL; a longer one
 * receives the header and as many whole entries as fit (header.count is still the true count). */
#define IOCTL_DD_READ_LOG DD_CTL_CODE(0x900) /* 0x222400 */
/* Forgets every entry, clears the overflowed flag and the create/cleanup/close counters.
 * The open-handle count is live state and is not reset. In: nothing. */
#define IOCTL_DD_CLEAR_LOG DD_CTL_CODE(0x901) /* 0x222404 */
/* In: 0 to DD_MAX_FAILING_CODES uint32_t codes (a multiple of 4 bytes). Replaces the list;
 * an empty input means no code fails. */
#define IOCTL_DD_SET_FAILING_CODES DD_CTL_CODE(0x902) /* 0x222408 */
/* In: DD_VERSION (2 bytes), the answer of IOCTL_GET_VERSION from then on. */
#define IOCTL_DD_SET_VERSION DD_CTL_CODE(0x903) /* 0x22240c */

#define DD_LOG_CAPACITY 512u
#define DD_MAX_INPUT_KEPT 64u
#define DD_MAX_FAILING_CODES 16u
#define DD_DEFAULT_VERSION_MAJOR 1u
#define DD_DEFAULT_VERSION_MINOR 0u

#pragma pack(push, 1)

typedef struct DD_LOG_HEADER {
  uint32_t count;       /* entries recorded since the last clear (at most DD_LOG_CAPACITY) */
  uint32_t overflowed;  /* 1 once a request was dropped because the record was full */
  uint32_t openHandles; /* handles open on the touch device now: creates - closes, ever */
  uint32_t creates;     /* IRP_MJ_CREATE on the touch device since the last clear */
  uint32_t cleanups;    /* IRP_MJ_CLEANUP on the touch device since the last clear */
  uint32_t closes;      /* IRP_MJ_CLOSE on the touch device since the last clear */
  uint32_t returned;    /* entries that follow this header in this answer */
  uint32_t capacity;    /* DD_LOG_CAPACITY */
  uint32_t entrySize;   /* sizeof(DD_LOG_ENTRY) */
} DD_LOG_HEADER;

typedef struct DD_LOG_ENTRY {
  uint32_t code;
  uint32_t inputLength;  /* the request's true input length */
  uint32_t outputLength; /* the request's output buffer length */
  uint32_t status;       /* the NTSTATUS the request completed with */
  uint8_t succeeded;     /* 1 when status was STATUS_SUCCESS */
  uint8_t inputKept;     /* bytes of input[] that hold the input: min(inputLength, 64) */
  uint8_t reserved[2];
  uint8_t input[DD_MAX_INPUT_KEPT];
} DD_LOG_ENTRY;

typedef struct DD_VERSION {
  uint8_t major;
  uint8_t minor;
} DD_VERSION;

#pragma pack(pop)

#ifdef __cplusplus
#define DD_STATIC_ASSERT(cond, msg) static_assert(cond, msg)
#else
#define DD_STATIC_ASSERT(cond, msg) _Static_assert(cond, msg)
#endif

DD_STATIC_ASSERT(sizeof(DD_LOG_HEADER) == 36, "DD_LOG_HEADER layout");
DD_STATIC_ASSERT(sizeof(DD_LOG_ENTRY) == 84, "DD_LOG_ENTRY layout");
DD_STATIC_ASSERT(sizeof(DD_VERSION) == 2, "DD_VERSION layout");
DD_STATIC_ASSERT(IOCTL_DD_READ_LOG == 0x222400u, "IOCTL_DD_READ_LOG value");
DD_STATIC_ASSERT(IOCTL_DD_SET_VERSION == 0x22240cu, "IOCTL_DD_SET_VERSION value");

#endif
