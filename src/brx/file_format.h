#pragma once

namespace brevo {

// How BRX files are stored, and so how reports are written: as 8-bit text or as RTF.
enum class FileFormat { Text = 0, Rtf = 1 };

}  // namespace brevo
