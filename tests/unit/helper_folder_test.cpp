// Which folder may hold the capture helper library: only the user's own, that nobody else
// may write to.
#include "capture/helper_folder.h"

#include <gtest/gtest.h>

namespace {

constexpr std::uint32_t FullControl = 0x001F01FF;
constexpr std::uint32_t ReadAndList = 0x001200A9;

FolderAccessEntry Entry(bool trusted, std::uint32_t mask, bool allow = true,
                        bool inheritOnly = false) {
    FolderAccessEntry entry;
    entry.allow = allow;
    entry.inheritOnly = inheritOnly;
    entry.trusted = trusted;
    entry.mask = mask;
    return entry;
}

HelperFolderFacts OwnFolder(std::vector<FolderAccessEntry> entries) {
    HelperFolderFacts facts;
    facts.exists = facts.directory = facts.ownedByUser = facts.hasAccessList = true;
    facts.entries = std::move(entries);
    return facts;
}

TEST(HelperFolder, OnlyTheUsersOwnFolderThatNobodyElseMayWriteIsUsed) {
    EXPECT_EQ(DecideHelperFolder(HelperFolderFacts{}), HelperFolderStep::Create);

    // Used: the user's alone; with the system and administrators; others only reading (a
    // folder of mode 0755 under Wine); others' write rights only for what is made inside;
    // others' write rights denied.
    const std::vector<std::vector<FolderAccessEntry>> usable = {
        {Entry(true, FullControl)},
        {Entry(true, FullControl), Entry(true, FullControl), Entry(true, FullControl)},
        {Entry(true, FullControl), Entry(false, ReadAndList)},
        {Entry(true, FullControl), Entry(false, FullControl, true, true)},
        {Entry(false, FolderAddFile, false), Entry(true, FullControl)},
    };
    for (const auto& entries : usable)
        EXPECT_EQ(DecideHelperFolder(OwnFolder(entries)), HelperFolderStep::Use);

    // Refused: anyone else who may add, replace or delete files, or take the folder over.
    for (std::uint32_t right :
         {FolderAddFile, FolderAddSubfolder, FolderDeleteChild, RightDelete, RightWriteAccessList,
          RightWriteOwner, RightGenericAll, RightGenericWrite}) {
        EXPECT_EQ(DecideHelperFolder(OwnFolder({Entry(true, FullControl), Entry(false, right)})),
                  HelperFolderStep::Refuse)
            << std::hex << right;
    }
    HelperFolderFacts facts = OwnFolder({Entry(true, FullControl)});
    facts.hasAccessList = false; // everybody may do everything
    EXPECT_EQ(DecideHelperFolder(facts), HelperFolderStep::Refuse);
    facts = OwnFolder({Entry(true, FullControl)});
    facts.ownedByUser = false;
    EXPECT_EQ(DecideHelperFolder(facts), HelperFolderStep::Refuse);
    facts = OwnFolder({Entry(true, FullControl)});
    facts.directory = false;
    EXPECT_EQ(DecideHelperFolder(facts), HelperFolderStep::Refuse);
    facts = OwnFolder({Entry(true, FullControl)});
    facts.reparsePoint = true;
    EXPECT_EQ(DecideHelperFolder(facts), HelperFolderStep::Refuse);
}

} // namespace
