#pragma once
// The host operations the routing plug-in needs beside those the client
// classes wrap: hook subscriptions, its toolbar, host memory, whole shape
// records and field types. Each throws CvException on a refusal, as the
// client classes do.

#include "GpiClient.h"

#include <cstdint>
#include <vector>

namespace pathrill {

// Subscribes the plug-in to the hook with user data 0; info as the host
// reads it for the hook type (null for most).
int RegisterHook(std::uint32_t hookType, const void* info = nullptr);
int UnregisterHook(std::uint32_t hookType);

// The shape's record, from its 8-byte header on.
std::vector<unsigned char> GetShapeRecord(const CvShape& shape);

// The field's GPIFT_* type, the key flag included.
std::uint32_t GetFieldType(const CvTheme& theme, std::uint32_t field);

// Memory the host takes over (script results); null when refused.
void* HostAlloc(std::uint32_t size);

} // namespace pathrill
