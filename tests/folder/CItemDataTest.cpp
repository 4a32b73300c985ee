#include "CItemData.h"
#include "CItemID.h"

#include <QAbstractFileIconProvider>
#include <QDir>
#include <QFile>
#include <QPixmap>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <set>

namespace {

// Counts every block and notices a block freed twice or never made here.
class CountingAllocator : public CItemAllocator {
public:
    void* Alloc(std::size_t size) override {
        void* block = CItemAllocator::Alloc(size);
        live.insert(block);
        ++allocations;
        return block;
    }
    void Free(void* block) override {
        if (live.erase(block) == 0)
            ++badFrees;
        CItemAllocator::Free(block);
    }
    std::set<void*> live;
    int allocations = 0;
    int badFrees = 0;
};

// Reaches the protected list primitives.
class ListProbe : public CItemData {
public:
    explicit ListProbe(CItemID* owner) : CItemData(owner, nullptr, nullptr) {}
    using CItemData::fcConcatItemID;
    using CItemData::fcCopyItemID;
    using CItemData::fcCreateItemID;
    using CItemData::fcGetItemIDSize;
    using CItemData::fcGetNextItemID;
};

std::vector<BYTE> Item(WORD count, BYTE fill) {
    std::vector<BYTE> item(count, fill);
    item[0] = static_cast<BYTE>(count & 0xFF);
    item[1] = static_cast<BYTE>(count >> 8);
    return item;
}

std::vector<BYTE> List(std::initializer_list<std::vector<BYTE>> items) {
    std::vector<BYTE> list;
    for (const auto& item : items)
        list.insert(list.end(), item.begin(), item.end());
    list.push_back(0);
    list.push_back(0);
    return list;
}

std::vector<BYTE> Bytes(LPCITEMIDLIST list, UINT size) {
    return std::vector<BYTE>(list, list + size);
}

const char16_t* Wide(const QString& text) {
    return reinterpret_cast<const char16_t*>(text.utf16());
}

class ItemTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(scratch.isValid());
        QDir dir(scratch.path());
        ASSERT_TRUE(dir.mkpath("sub/deeper"));
        for (const char* name : {"b.txt", ".hidden", "sub/x", "a"}) {
            QFile file(dir.filePath(name));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
    }

    QTemporaryDir scratch;
    std::shared_ptr<CountingAllocator> allocator = std::make_shared<CountingAllocator>();
};

} // namespace

TEST_F(ItemTest, ListPrimitivesKeepTheByteFormat) {
    CItemID owner(allocator);
    ListProbe probe(&owner);
    const std::vector<BYTE> empty = List({});
    const std::vector<BYTE> two = List({Item(10, 0xAA), Item(14, 0xBB)});

    EXPECT_EQ(ListProbe::fcGetItemIDSize(nullptr), 0u);
    EXPECT_EQ(ListProbe::fcGetItemIDSize(empty.data()), 2u);
    EXPECT_EQ(ListProbe::fcGetItemIDSize(two.data()), 26u);

    EXPECT_EQ(ListProbe::fcGetNextItemID(two.data()), two.data() + 10);
    EXPECT_EQ(ListProbe::fcGetNextItemID(two.data() + 10), nullptr); // next is the terminator
    EXPECT_EQ(ListProbe::fcGetNextItemID(empty.data()), nullptr);

    LPITEMIDLIST first = probe.fcCopyItemID(two.data());
    EXPECT_EQ(Bytes(first, 12), List({Item(10, 0xAA)}));

    const std::vector<BYTE> one = List({Item(14, 0xBB)});
    LPITEMIDLIST joined = probe.fcConcatItemID(first, one.data());
    ASSERT_EQ(ListProbe::fcGetItemIDSize(joined), 26u);
    EXPECT_EQ(Bytes(joined, 26), two);

    LPITEMIDLIST zeroed = probe.fcCreateItemID(6);
    EXPECT_EQ(Bytes(zeroed, 6), std::vector<BYTE>(6, 0));

    for (LPITEMIDLIST list : {first, joined, zeroed})
        allocator->Free(list);
    EXPECT_EQ(allocator->badFrees, 0);
}

TEST_F(ItemTest, PathsParseToOneItemPerComponent) {
    CItemID owner(allocator);

    auto root = owner.GetItemIDList(u"/");
    ASSERT_TRUE(root);
    EXPECT_EQ(root->GetIDList()[0] | root->GetIDList()[1], 0); // the empty list
    EXPECT_EQ(root->GetPath(), "/");
    EXPECT_EQ(root->GetDisplayName(), "/");

    const QString winding = scratch.path() + "//sub/./deeper/../../a";
    auto file = owner.GetItemIDList(Wide(winding));
    ASSERT_TRUE(file);
    EXPECT_EQ(file->GetPath(), scratch.path() + "/a");
    EXPECT_EQ(file->GetDisplayName(), "a");
    EXPECT_EQ(owner.GetLastResult(), FOLDER_S_OK);
    EXPECT_EQ(file->CreateChildList(), 0); // a file is no folder
    EXPECT_NE(owner.GetLastResult(), FOLDER_S_OK);

    EXPECT_FALSE(owner.GetItemIDList(Wide(scratch.path() + "/missing")));
    EXPECT_EQ(owner.GetLastResult(), FOLDER_E_FILE_NOT_FOUND);

    // A null path makes no call: no allocation, the last failure stays.
    const int allocations = allocator->allocations;
    EXPECT_FALSE(owner.GetItemIDList(static_cast<const char16_t*>(nullptr)));
    EXPECT_EQ(owner.GetLastResult(), FOLDER_E_FILE_NOT_FOUND);
    EXPECT_EQ(allocator->allocations, allocations);

    // A lone surrogate cannot be put in UTF-8; it reaches the file system as "?".
    QFile odd(scratch.path() + "/odd?");
    ASSERT_TRUE(odd.open(QIODevice::WriteOnly));
    std::u16string surrogate = (scratch.path() + "/odd").toStdU16String();
    surrogate += char16_t(0xD800);
    auto replaced = owner.GetItemIDList(surrogate.c_str());
    ASSERT_TRUE(replaced);
    EXPECT_EQ(replaced->GetDisplayName(), "odd?");
}

TEST_F(ItemTest, ChildrenAreEnumeratedAndTheSubtreeIsFreedOnce) {
    {
        CItemID owner(allocator);
        auto top = owner.GetItemIDList(Wide(scratch.path()));
        ASSERT_TRUE(top);
        ASSERT_EQ(top->CreateChildList(), 1);
        ASSERT_EQ(top->CreateChildList(), 1); // again: afresh, not twice over

        QStringList names;
        for (int i = 0; i < top->GetChildCount(); ++i)
            names << top->GetChild(i)->GetDisplayName();
        EXPECT_EQ(names, QStringList({".hidden", "a", "b.txt", "sub"}));

        CItemData* sub = top->GetChild(3);
        EXPECT_EQ(sub->GetParent(), top.get());
        EXPECT_EQ(ListProbe::fcGetItemIDSize(sub->GetIDList()), 2u + 2u + 3u); // one item, "sub"
        ASSERT_EQ(sub->CreateChildList(), 1);
        ASSERT_EQ(sub->GetChildCount(), 2);
        EXPECT_EQ(sub->GetChild(1)->GetPath(), scratch.path() + "/sub/x");
        EXPECT_EQ(sub->GetChild(0)->CreateChildList(), 1); // "deeper", empty
        EXPECT_EQ(sub->GetChild(0)->GetChildCount(), 0);
        EXPECT_EQ(sub->GetChild(1)->ShowList(), 1);
        EXPECT_EQ(owner.GetLastResult(), FOLDER_S_OK);
    }
    EXPECT_GT(allocator->allocations, 8);
    EXPECT_TRUE(allocator->live.empty());
    EXPECT_EQ(allocator->badFrees, 0);
}

TEST_F(ItemTest, AnOwnerWithoutAllocatorFailsQuietly) {
    CItemID owner(nullptr);
    EXPECT_EQ(owner.GetLastResult(), FOLDER_E_OUTOFMEMORY);
    EXPECT_FALSE(owner.GetItemIDList(u"/"));
    EXPECT_FALSE(owner.GetItemIDList(CSIDL_DESKTOP));
}

TEST_F(ItemTest, SpecialFoldersAndIconsComeFromTheFileSystem) {
    CItemID owner(allocator);
    EXPECT_FALSE(owner.GetItemIDList(0x7F));
    EXPECT_EQ(owner.GetLastResult(), FOLDER_E_INVALIDARG);
    auto home = owner.GetItemIDList(CSIDL_PROFILE);
    ASSERT_TRUE(home);
    EXPECT_EQ(home->GetPath(), QDir::homePath());

    // The checker's drive icon is the root's.
    class RecordingProvider : public QAbstractFileIconProvider {
    public:
        explicit RecordingProvider(QString* asked) : m_asked(asked) {}
        QIcon icon(const QFileInfo& info) const override {
            *m_asked = info.filePath();
            QPixmap picture(16, 16);
            picture.fill(Qt::red);
            return QIcon(picture);
        }
        using QAbstractFileIconProvider::icon;

    private:
        QString* m_asked;
    };
    QString asked;
    owner.SetIconProvider(std::make_unique<RecordingProvider>(&asked));
    auto root = owner.GetItemIDList(u"/");
    ASSERT_TRUE(root);
    EXPECT_FALSE(root->GetSystemIcon().isNull());
    EXPECT_EQ(asked, "/");
}
