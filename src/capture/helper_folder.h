// Whether the per-user folder that holds the capture helper library may be used. The library
// is loaded into the game, so whoever can change the folder's files can run code in the game:
// the folder must be the current user's and nobody else may write to it. The facts are read
// from the folder's security descriptor (under Wine it mirrors the folder's Unix owner and
// mode); the decision is here, without platform calls.
#pragma once

#include <cstdint>
#include <vector>

// One entry of the folder's access list.
struct FolderAccessEntry {
    bool allow = true;        // an allowing entry (denying entries never give access)
    bool inheritOnly = false; // applies only to what is created inside, not to the folder
    bool trusted = false;     // the current user, the system account or the administrators
    std::uint32_t mask = 0;   // access rights
};

struct HelperFolderFacts {
    bool exists = false;
    bool directory = false;
    bool reparsePoint = false; // a link to somewhere else
    bool ownedByUser = false;
    bool hasAccessList = false; // no access list at all lets everybody in
    std::vector<FolderAccessEntry> entries;
};

enum class HelperFolderStep { Create, Use, Refuse };

// Rights that let someone put, replace or remove files in a folder, or take it over.
constexpr std::uint32_t FolderAddFile = 0x00000002;
constexpr std::uint32_t FolderAddSubfolder = 0x00000004;
constexpr std::uint32_t FolderDeleteChild = 0x00000040;
constexpr std::uint32_t RightDelete = 0x00010000;
constexpr std::uint32_t RightWriteAccessList = 0x00040000;
constexpr std::uint32_t RightWriteOwner = 0x00080000;
constexpr std::uint32_t RightGenericAll = 0x10000000;
constexpr std::uint32_t RightGenericWrite = 0x40000000;
constexpr std::uint32_t FolderWriteRights = FolderAddFile | FolderAddSubfolder | FolderDeleteChild |
                                            RightDelete | RightWriteAccessList | RightWriteOwner |
                                            RightGenericAll | RightGenericWrite;

bool OthersMayWriteFolder(const HelperFolderFacts& facts);
HelperFolderStep DecideHelperFolder(const HelperFolderFacts& facts);
