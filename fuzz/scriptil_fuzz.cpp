// Saved compiled code (a program tree) through the program builder, as a script loads it.
//
// Input: one byte (bits 0-1 the language whose rules apply: declarations, && and ||), then the
// bytes of the tree. Promises checked: a load either succeeds or says why and leaves nothing
// of itself behind; constants run code while loading, and a step budget terminates it.

#include "FuzzTarget.h"

#include "report/script/sc_iinterpreter_script.h"
#include "report/script/sc_itools.h"

#include <QBuffer>

namespace {

const char* const kLanguages[] = {"RireroRidoze", "R++Idirud", "JScript", "ZuvivUradur"};
constexpr int kStepBudget = 20000;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool registered = (InitScriptLanguages(), true);
    (void)registered;
    daxfuzz::InputReader input(data, size);
    const uint8_t mode = input.Byte();
    const auto rest = input.Rest();
    QByteArray bytes(reinterpret_cast<const char*>(rest.data()), static_cast<qsizetype>(rest.size()));
    return daxfuzz::RunDecoder([&] {
        TscScript script;
        script.SyntaxType = QString::fromUtf8(kLanguages[mode & 3]);
        script.AddRTTI();
        int steps = 0;
        script.SetOnRunLine([&](TscScript*, const QString&, const QString&) {
            if (++steps == kStepBudget)
                script.Terminate();
        });
        const int before = script.Count();
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        if (script.SetILCode(buffer))
            return;
        daxfuzz::Require(!script.ErrorMsg.isEmpty(), "a failed load says why");
        daxfuzz::Require(script.Count() == before, "a failed load leaves nothing behind");
    });
}
