// Where the payload of a package ends. Signing an executable appends its
// certificate table to the very end of the file and records the table in the
// PE header's security directory, so in a signed installer the payload's
// tail no longer stands at the end of the file but just before the table,
// behind at most 7 zero bytes that align the table to 8 bytes.
#pragma once

#include <cstdint>

namespace payload {

class File;

// Bytes a signing tool may put between the payload and the table.
constexpr int kMaxSignaturePadding = 7;

// The offset at which the payload ends: the start of the certificate table,
// less the zero bytes in front of it, when `file` is a PE image whose
// security directory ends exactly at the end of the file; otherwise the
// file's size. A header that is cut short or inconsistent (a table outside
// the file, or one that does not reach its end) means "unsigned". A read
// that fails is left on `file` (File::Failed) for the caller.
int64_t PayloadEnd(File& file);

}  // namespace payload
