#pragma once
// The declared names the language server writes documents' words with (see
// name_bindings.h). A formatting request of a document reads the document's
// include unit afresh: the document, the files its includes read (an open
// document where there is one, else the file, read again only when it
// changes), and the open documents that include any of those. A line left
// by Enter costs no such reading: its words take the unit's names as last
// found, and the names of the procedure it stands in, read now from the
// procedure's header down to the line.

#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "declarations.h"
#include "document_contexts.h"
#include "file_stamp.h"
#include "name_bindings.h"
#include "text_document.h"

namespace recasor {

// The declarations of a file read from disk, and its stamp when read.
struct KnownDeclarations {
    FileStamp stamp;
    FileDeclarations declarations;
};

// What the server keeps of names between requests.
struct NameIndex {
    std::map<std::string, KnownDeclarations> files;  // by path
};

// The spellings of a whole document's words, its unit read afresh; the unit's
// names are kept with the document for the lines left by Enter.
FileSpellings DocumentSpellings(std::map<std::string, TextDocument, std::less<>>& documents, TextDocument& document,
                                const ConversionSettings& settings, NameIndex& index, const ServerFileAccess& files);

// The spellings for recasing line `line` alone, with what is known already.
// Offsets are those of the document.
FileSpellings LineSpellings(std::map<std::string, TextDocument, std::less<>>& documents, TextDocument& document,
                            size_t line, const ConversionSettings& settings, NameIndex& index,
                            const ServerFileAccess& files);

}  // namespace recasor
