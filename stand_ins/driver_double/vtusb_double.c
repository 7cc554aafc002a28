/*
 * vtusb.sys double: stands in for the kernel touch driver so that the utility can be tested
 * without a controller. Device 1 (\Device\PelqTessaro) checks and records every request sent
 * to the touch driver's thirteen control codes; device 2 (\Device\PelqTessaroDouble) lets a
 * test read that record and steer the answers. See README.md.
 */
#include <ddk/wdm.h>

#include "driver_double_control.h"

#define TOUCH_DEVICE_NAME L"\\Device\\PelqTessaro"
#define TOUCH_LINK_NAME L"\\DosDevices\\PelqTessaro"

typedef struct TOUCH_CODE {
  ULONG code;
  ULONG inputLength;
  ULONG outputLength;
} TOUCH_CODE;

static const TOUCH_CODE touchCodes[] = {
    {0x220028, 18, 0}, /* IOCTL_SET_CAL */
    {0x22002c, 40, 0}, /* IOCTL_SET_CAL_5PT */
    {0x220050, 0, 0},  /* IOCTL_RESET_CAL_COEFF */
    {0x220054, 20, 0}, /* IOCTL_RESET_CAL_PTS */
    {0x220078, 8, 0},  /* IOCTL_SET_FILTER_COEFF */
    {0x2200a0, 1, 0},  /* IOCTL_BEEP_MODE */
    {0x2200c8, 6, 0},  /* IOCTL_BEEP_SETTING */
    {0x22011c, 0, 2},  /* IOCTL_GET_VERSION */
    {0x220168, 24, 0}, /* IOCTL_MAPPING */
    {0x220190, 0, 0},  /* IOCTL_SINGLE_MONITOR */
    {0x2201b8, 1, 0},  /* IOCTL_CABLE_CONNECTION */
    {0x2201e0, 4, 0},  /* IOCTL_PANEL_ROTATION */
    {0x220208, 1, 0},  /* IOCTL_SET_CAL_TYPE */
};
#define TOUCH_CODE_COUNT (sizeof(touchCodes) / sizeof(touchCodes[0]))
#define IOCTL_GET_VERSION 0x22011c

static PDEVICE_OBJECT touchDevice;
static PDEVICE_OBJECT controlDevice;

/* Everything below is guarded by stateLock: winedevice may dispatch from several threads. */
static KMUTEX stateLock;
static DD_LOG_ENTRY logEntries[DD_LOG_CAPACITY];
static ULONG logCount;
static ULONG logOverflowed;
static ULONG openHandles;
static ULONG createCount;
static ULONG cleanupCount;
static ULONG closeCount;
static ULONG failingCodes[DD_MAX_FAILING_CODES];
static ULONG failingCodeCount;
static DD_VERSION version = {DD_DEFAULT_VERSION_MAJOR, DD_DEFAULT_VERSION_MINOR};

static void Lock(void) { KeWaitForSingleObject(&stateLock, Executive, KernelMode, FALSE, NULL); }
static void Unlock(void) { KeReleaseMutex(&stateLock, FALSE); }

static NTSTATUS Complete(PIRP irp, NTSTATUS status, ULONG_PTR information) {
  irp->IoStatus.Status = status;
  irp->IoStatus.Information = information;
  IoCompleteRequest(irp, IO_NO_INCREMENT);
  return status;
}

static const TOUCH_CODE *FindTouchCode(ULONG code) {
  ULONG i;
  for (i = 0; i < TOUCH_CODE_COUNT; ++i)
    if (touchCodes[i].code == code) return &touchCodes[i];
  return NULL;
}

static BOOLEAN IsFailingCode(ULONG code) {
  ULONG i;
  for (i = 0; i < failingCodeCount; ++i)
    if (failingCodes[i] == code) return TRUE;
  return FALSE;
}

/* Called with stateLock held, before the output is written into the shared system buffer. */
static void Record(ULONG code, ULONG inLength, ULONG outLength, NTSTATUS status,
                   const UCHAR *input) {
  DD_LOG_ENTRY *entry;
  ULONG kept = inLength < DD_MAX_INPUT_KEPT ? inLength : DD_MAX_INPUT_KEPT;
  if (logCount == DD_LOG_CAPACITY) {
    logOverflowed = 1;
    return;
  }
  entry = &logEntries[logCount++];
  RtlZeroMemory(entry, sizeof(*entry));
  entry->code = code;
  entry->inputLength = inLength;
  entry->outputLength = outLength;
  entry->status = (uint32_t)status;
  entry->succeeded = status == STATUS_SUCCESS;
  entry->inputKept = (uint8_t)kept;
  if (kept && input) RtlCopyMemory(entry->input, input, kept);
}

static NTSTATUS TouchControl(PIRP irp, PIO_STACK_LOCATION stack) {
  ULONG code = stack->Parameters.DeviceIoControl.IoControlCode;
  ULONG inLength = stack->Parameters.DeviceIoControl.InputBufferLength;
  ULONG outLength = stack->Parameters.DeviceIoControl.OutputBufferLength;
  UCHAR *buffer = irp->AssociatedIrp.SystemBuffer;
  const TOUCH_CODE *known = FindTouchCode(code);
  NTSTATUS status;
  ULONG_PTR information = 0;

  Lock();
  if (!known)
    status = STATUS_INVALID_DEVICE_REQUEST;
  else if (inLength != known->inputLength)
    status = STATUS_INVALID_PARAMETER;
  else if (outLength < known->outputLength)
    status = STATUS_BUFFER_TOO_SMALL;
  else if (IsFailingCode(code))
    status = STATUS_UNSUCCESSFUL;
  else
    status = STATUS_SUCCESS;
  Record(code, inLength, outLength, status, buffer);
  if (status == STATUS_SUCCESS && code == IOCTL_GET_VERSION) {
    buffer[0] = version.major;
    buffer[1] = version.minor;
    information = 2;
  }
  Unlock();
  return Complete(irp, status, information);
}

static NTSTATUS ReadLog(PIRP irp, ULONG outLength) {
  DD_LOG_HEADER *header = irp->AssociatedIrp.SystemBuffer;
  ULONG fit;
  if (outLength < sizeof(DD_LOG_HEADER)) return Complete(irp, STATUS_BUFFER_TOO_SMALL, 0);
  fit = (outLength - sizeof(DD_LOG_HEADER)) / sizeof(DD_LOG_ENTRY);
  Lock();
  if (fit > logCount) fit = logCount;
  header->count = logCount;
  header->overflowed = logOverflowed;
  header->openHandles = openHandles;
  header->creates = createCount;
  header->cleanups = cleanupCount;
  header->closes = closeCount;
  header->returned = fit;
  header->capacity = DD_LOG_CAPACITY;
  header->entrySize = sizeof(DD_LOG_ENTRY);
  RtlCopyMemory(header + 1, logEntries, fit * sizeof(DD_LOG_ENTRY));
  Unlock();
  return Complete(irp, STATUS_SUCCESS, sizeof(DD_LOG_HEADER) + fit * sizeof(DD_LOG_ENTRY));
}

static NTSTATUS DoubleControl(PIRP irp, PIO_STACK_LOCATION stack) {
  ULONG inLength = stack->Parameters.DeviceIoControl.InputBufferLength;
  ULONG outLength = stack->Parameters.DeviceIoControl.OutputBufferLength;
  const UCHAR *input = irp->AssociatedIrp.SystemBuffer;

  switch (stack->Parameters.DeviceIoControl.IoControlCode) {
    case IOCTL_DD_READ_LOG:
      return ReadLog(irp, outLength);
    case IOCTL_DD_CLEAR_LOG:
      Lock();
      logCount = 0;
      logOverflowed = 0;
      createCount = cleanupCount = closeCount = 0;
      Unlock();
      return Complete(irp, STATUS_SUCCESS, 0);
    case IOCTL_DD_SET_FAILING_CODES:
      if (inLength % sizeof(ULONG) || inLength > sizeof(failingCodes))
        return Complete(irp, STATUS_INVALID_PARAMETER, 0);
      Lock();
      failingCodeCount = inLength / sizeof(ULONG);
      if (inLength) RtlCopyMemory(failingCodes, input, inLength);
      Unlock();
      return Complete(irp, STATUS_SUCCESS, 0);
    case IOCTL_DD_SET_VERSION:
      if (inLength != sizeof(DD_VERSION)) return Complete(irp, STATUS_INVALID_PARAMETER, 0);
      Lock();
      version.major = input[0];
      version.minor = input[1];
      Unlock();
      return Complete(irp, STATUS_SUCCESS, 0);
    default:
      return Complete(irp, STATUS_INVALID_DEVICE_REQUEST, 0);
  }
}

static NTSTATUS NTAPI DispatchDeviceControl(PDEVICE_OBJECT device, PIRP irp) {
  PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
  return device == touchDevice ? TouchControl(irp, stack) : DoubleControl(irp, stack);
}

/* Create, cleanup and close always succeed; on the touch device they are counted. */
static NTSTATUS NTAPI DispatchOpenClose(PDEVICE_OBJECT device, PIRP irp) {
  if (device == touchDevice) {
    Lock();
    switch (IoGetCurrentIrpStackLocation(irp)->MajorFunction) {
      case IRP_MJ_CREATE:
        ++createCount;
        ++openHandles;
        break;
      case IRP_MJ_CLEANUP:
        ++cleanupCount;
        break;
      case IRP_MJ_CLOSE:
        ++closeCount;
        if (openHandles) --openHandles;
        break;
    }
    Unlock();
  }
  return Complete(irp, STATUS_SUCCESS, 0);
}

static NTSTATUS CreateNamedDevice(PDRIVER_OBJECT driver, PCWSTR deviceName, PCWSTR linkName,
                                  PDEVICE_OBJECT *device) {
  UNICODE_STRING name, link;
  NTSTATUS status;
  RtlInitUnicodeString(&name, deviceName);
  RtlInitUnicodeString(&link, linkName);
  status = IoCreateDevice(driver, 0, &name, FILE_DEVICE_UNKNOWN, 0, FALSE, device);
  if (!NT_SUCCESS(status)) return status;
  status = IoCreateSymbolicLink(&link, &name);
  if (!NT_SUCCESS(status)) {
    IoDeleteDevice(*device);
    *device = NULL;
    return status;
  }
  (*device)->Flags |= DO_BUFFERED_IO;
  (*device)->Flags &= ~DO_DEVICE_INITIALIZING;
  return STATUS_SUCCESS;
}

static void DeleteNamedDevice(PCWSTR linkName, PDEVICE_OBJECT *device) {
  UNICODE_STRING link;
  if (!*device) return;
  RtlInitUnicodeString(&link, linkName);
  IoDeleteSymbolicLink(&link);
  IoDeleteDevice(*device);
  *device = NULL;
}

static void NTAPI DriverUnload(PDRIVER_OBJECT driver) {
  (void)driver;
  DeleteNamedDevice(DD_CONTROL_LINK_NAME, &controlDevice);
  DeleteNamedDevice(TOUCH_LINK_NAME, &touchDevice);
}

NTSTATUS NTAPI DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING registryPath) {
  NTSTATUS status;
  (void)registryPath;

  /* The image may stay mapped between a stop and the next start: begin from a clean state. */
  KeInitializeMutex(&stateLock, 0);
  logCount = logOverflowed = openHandles = 0;
  createCount = cleanupCount = closeCount = 0;
  failingCodeCount = 0;
  version.major = DD_DEFAULT_VERSION_MAJOR;
  version.minor = DD_DEFAULT_VERSION_MINOR;
  driver->MajorFunction[IRP_MJ_CREATE] = DispatchOpenClose;
  driver->MajorFunction[IRP_MJ_CLEANUP] = DispatchOpenClose;
  driver->MajorFunction[IRP_MJ_CLOSE] = DispatchOpenClose;
  driver->MajorFunction[IRP_MJ_DEVICE_CONTROL] = DispatchDeviceControl;
  driver->DriverUnload = DriverUnload;

  status = CreateNamedDevice(driver, TOUCH_DEVICE_NAME, TOUCH_LINK_NAME, &touchDevice);
  if (!NT_SUCCESS(status)) return status;
  status = CreateNamedDevice(driver, DD_CONTROL_DEVICE_NAME, DD_CONTROL_LINK_NAME,
                             &controlDevice);
  if (!NT_SUCCESS(status)) DeleteNamedDevice(TOUCH_LINK_NAME, &touchDevice);
  return status;
}
