#pragma once

#include <string>

inline constexpr const char* kDocumentsSubfolder = "Tessivane Vorelline";
inline constexpr std::size_t kDocumentsFolderMax = 1023;

// The plug-in's folder in the user's documents, ending in a path separator, created if missing (an
// existing folder is fine; the outcome of the creation is not checked further). When the system cannot
// name the Documents folder, "SHGetKnownFolderPath Error1." is shown (caption "Error") and the result
// is empty: no calibration is searched and the file dialogs open wherever the system chooses. A
// result that would exceed 1023 characters is treated the same way.
std::string PrepareDocumentsFolder();
