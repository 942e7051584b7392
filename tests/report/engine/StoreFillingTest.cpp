// Filling the prepared-page store as the engine does: source pages and aliases, pages and
// their objects as differences, the memory budget, keep-together cut and paste, anchors,
// logical page numbers, and the golden two-page store.
//
// DAX_WRITE_ENGINE_FIXTURES=1 writes data/zp3/two-pages.zp3 again instead of comparing it.

#include "EngineTestSupport.h"

using namespace enginetest;

namespace {

TEST(PreparedStore, TwoPageStoreIsTheCommittedFixture)
{
    PreparedReport prepared = BuildTwoPageStore();
    const QByteArray saved = SaveStore(prepared.Store());
    const QString fileName = kEngineData + QStringLiteral("zp3/two-pages.zp3");
    if (qEnvironmentVariableIsSet("DAX_WRITE_ENGINE_FIXTURES")) {
        WriteFileBytes(fileName, saved);
        return;
    }
    EXPECT_EQ(saved.toStdString(), ReadFileBytes(fileName).toStdString());
}

} // namespace
