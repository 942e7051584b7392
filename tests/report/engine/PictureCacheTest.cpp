// The picture cache: picture files of every kind come back byte for byte, in memory, in
// temporary files and through the hexadecimal text of prepared-report files; a folder that
// cannot hold the files gives an error and hands out no number.

#include "EngineTestSupport.h"

#include "report/model/rpClass_views.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include <ostream>

using namespace enginetest;

namespace {

QByteArray ImageBytes(const char* format, const QColor& color, int size)
{
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(color);
    for (int i = 0; i < size; ++i)
        image.setPixelColor(i, i, Qt::white);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, format)) << format;
    return bytes;
}

std::unique_ptr<TrpPictureView> ViewWith(const char* kind, const QByteArray& bytes)
{
    auto view = std::make_unique<TrpPictureView>();
    TrpPicture picture;
    picture.SetData(QString::fromLatin1(kind), bytes);
    view->SetPicture(picture);
    return view;
}

struct Kind {
    const char* Name;
    const char* Format;
};

const Kind kKinds[] = {{"PNG", "PNG"}, {"JPEG", "JPEG"}, {"BMP", "BMP"}};

class PictureCacheModes : public testing::TestWithParam<bool> {};

TEST_P(PictureCacheModes, EveryKindComesBackByteForByte)
{
    QTemporaryDir folder;
    TrpPictureCache cache;
    cache.SetUseFileCache(GetParam());
    cache.SetTempDir(folder.path());
    std::vector<QByteArray> files;
    for (size_t i = 0; i < std::size(kKinds); ++i) {
        files.push_back(ImageBytes(kKinds[i].Format, QColor::fromHsv(static_cast<int>(i) * 90, 200, 200), 16 + 8 * static_cast<int>(i)));
        auto view = ViewWith(kKinds[i].Name, files.back());
        cache.AddPicture(view.get());
        EXPECT_EQ(view->ImageIndex, static_cast<int32_t>(i + 1));
    }
    ASSERT_EQ(cache.Count(), 3);
    for (int32_t number = 1; number <= 3; ++number) {
        const Kind& kind = kKinds[number - 1];
        SCOPED_TRACE(kind.Name);
        EXPECT_EQ(cache.PictureBytes(number), files[static_cast<size_t>(number - 1)]);
        TrpPictureView view;
        view.ImageIndex = number;
        cache.GetPicture(&view);
        EXPECT_EQ(view.Picture().Kind(), kind.Name);
        EXPECT_EQ(view.Picture().Data(), files[static_cast<size_t>(number - 1)]);
    }

    // Through the hexadecimal text of a file, into a cache of the other mode.
    TrpXMLItem item;
    cache.SaveToXML(&item);
    ASSERT_EQ(item.Count(), 3);
    EXPECT_EQ(item.Items(0)->Text(), QStringLiteral("stream=\"") + QString::fromLatin1(files[0].toHex().toUpper()) + u'"');
    TrpPictureCache again;
    again.SetUseFileCache(!GetParam());
    again.SetTempDir(folder.path());
    again.LoadFromXML(&item);
    ASSERT_EQ(again.Count(), 3);
    for (int32_t number = 1; number <= 3; ++number)
        EXPECT_EQ(again.PictureBytes(number), files[static_cast<size_t>(number - 1)]);
}

INSTANTIATE_TEST_SUITE_P(MemoryAndFiles, PictureCacheModes, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) { return info.param ? "files" : "memory"; });

TEST(PictureCache, EmptyPictureGetsNumberZeroAndNumbersOutsideClear)
{
    TrpPictureCache cache;
    TrpPictureView empty;
    empty.ImageIndex = 7;
    cache.AddPicture(&empty);
    EXPECT_EQ(empty.ImageIndex, 0);
    EXPECT_EQ(cache.Count(), 0);

    auto view = ViewWith("BMP", BmpBytes());
    cache.AddPicture(view.get());
    for (int32_t number : {0, -1, 2}) {
        TrpPictureView other;
        TrpPicture picture;
        picture.SetData(QStringLiteral("BMP"), BmpBytes(0xFF0000));
        other.SetPicture(picture);
        other.ImageIndex = number;
        cache.GetPicture(&other);
        EXPECT_TRUE(other.Picture().IsEmpty()) << number;
    }
}

TEST(PictureCache, FilesAreNamedRpPicAndGoWithClear)
{
    QTemporaryDir folder;
    TrpPictureCache cache;
    cache.SetUseFileCache(true);
    // Without a trailing separator, as a user types it.
    cache.SetTempDir(folder.path());
    auto view = ViewWith("BMP", BmpBytes());
    cache.AddPicture(view.get());
    cache.AddPicture(view.get());
    const QStringList files = QDir(folder.path()).entryList({QStringLiteral("rpPic*")}, QDir::Files);
    ASSERT_EQ(files.size(), 1); // both pictures in one segment
    EXPECT_EQ(cache.TempFiles().size(), 1);
    EXPECT_EQ(QFileInfo(cache.TempFiles().front()).fileName(), files.front());
    // Once there is a segment the mode and folder stay.
    cache.SetUseFileCache(false);
    EXPECT_TRUE(cache.UseFileCache());
    cache.Clear();
    EXPECT_TRUE(QDir(folder.path()).entryList({QStringLiteral("rpPic*")}, QDir::Files).isEmpty());
    EXPECT_EQ(cache.Count(), 0);
    cache.SetUseFileCache(false);
    EXPECT_FALSE(cache.UseFileCache());
}

TEST(PictureCache, EmptyTempDirUsesTheSystemFolder)
{
    QTemporaryDir folder;
    const QByteArray previous = qgetenv("TMPDIR");
    qputenv("TMPDIR", folder.path().toUtf8());
    {
        TrpPictureCache cache;
        cache.SetUseFileCache(true);
        auto view = ViewWith("BMP", BmpBytes());
        cache.AddPicture(view.get());
        ASSERT_EQ(cache.TempFiles().size(), 1);
        EXPECT_EQ(QFileInfo(cache.TempFiles().front()).absolutePath(), QFileInfo(folder.path()).absoluteFilePath());
    }
    qputenv("TMPDIR", previous);
}

TEST(PictureCache, FolderBelowAPlainFileGivesAnErrorAndNoNumber)
{
    QTemporaryDir folder;
    const QString plainFile = folder.filePath(QStringLiteral("plain"));
    WriteFileBytes(plainFile, "x");
    TrpPictureCache cache;
    cache.SetUseFileCache(true);
    cache.SetTempDir(plainFile + QStringLiteral("/below"));
    auto view = ViewWith("BMP", BmpBytes());
    view->ImageIndex = 5;
    try {
        cache.AddPicture(view.get());
        FAIL() << "no error";
    } catch (const platform::Exception& error) {
        EXPECT_TRUE(QString::fromStdString(error.Message()).startsWith(u"Cannot create file")) << error.Message();
    }
    EXPECT_EQ(view->ImageIndex, 0);
    EXPECT_EQ(cache.Count(), 0);
    // The next picture, once the folder is usable, is number 1.
    cache.Clear();
    cache.SetTempDir(folder.path());
    cache.AddPicture(view.get());
    EXPECT_EQ(view->ImageIndex, 1);
}

TEST(PictureCache, StreamTextOfOddLengthDropsItsLastDigit)
{
    TrpXMLItem item;
    item.Add(QStringLiteral("item"))->SetText(QStringLiteral("stream=\"0aFf1\""));
    item.Add(QStringLiteral("whatever"))->SetText(QStringLiteral("stream=\"\""));
    TrpPictureCache cache;
    cache.LoadFromXML(&item);
    ASSERT_EQ(cache.Count(), 2);
    EXPECT_EQ(cache.PictureBytes(1), QByteArray::fromHex("0AFF"));
    EXPECT_EQ(cache.PictureBytes(2), QByteArray());
}

TEST(PictureCache, BadHexDigitIsRefusedAndTheCacheStays)
{
    TrpPictureCache cache;
    auto view = ViewWith("BMP", BmpBytes());
    cache.AddPicture(view.get());
    for (const char* text : {"0G", "12 4", "ABC-", "1g"}) {
        SCOPED_TRACE(text);
        TrpXMLItem item;
        item.Add(QStringLiteral("item"))->SetText(QStringLiteral("stream=\"00\""));
        item.Add(QStringLiteral("item"))->SetText(QStringLiteral("stream=\"") + QString::fromLatin1(text) + u'"');
        try {
            cache.LoadFromXML(&item);
            ADD_FAILURE() << "accepted";
        } catch (const platform::Exception& error) {
            EXPECT_EQ(error.Message(), "Invalid hexadecimal text");
        }
        ASSERT_EQ(cache.Count(), 1);
        EXPECT_EQ(cache.PictureBytes(1), BmpBytes());
    }
}

} // namespace
