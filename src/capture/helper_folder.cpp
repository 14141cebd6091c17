// The decision over the capture helper's folder (see helper_folder.h).
#include "capture/helper_folder.h"

bool OthersMayWriteFolder(const HelperFolderFacts& facts) {
    if (!facts.hasAccessList) return true;
    for (const FolderAccessEntry& entry : facts.entries)
        if (entry.allow && !entry.inheritOnly && !entry.trusted && (entry.mask & FolderWriteRights))
            return true;
    return false;
}

HelperFolderStep DecideHelperFolder(const HelperFolderFacts& facts) {
    if (!facts.exists) return HelperFolderStep::Create;
    if (!facts.directory || facts.reparsePoint || !facts.ownedByUser || OthersMayWriteFolder(facts))
        return HelperFolderStep::Refuse;
    return HelperFolderStep::Use;
}
