// The report as the evaluator of its objects' expressions: Calc, the script's "Value" and
// "Self", and the number and date texts of its script.

#include "rpClass_report.h"

#include "report/script/sc_iinterpreter_script.h"

namespace {

class TrpReportEvaluator final : public ITrpExpressionEvaluator {
public:
    explicit TrpReportEvaluator(TrpReport& report) : report_(report) {}

    Variant Calc(const QString& expression) override { return report_.Calc(expression); }
    void SetLocalValue(const Variant& value) override { report_.SetLocalValue(value); }
    void SetSelfValue(TrpComponent* object) override { report_.SetSelfValue(object); }
    const FormatSettings& Settings() const override { return report_.Script().Settings(); }

private:
    TrpReport& report_;
};

} // namespace

ITrpExpressionEvaluator* TrpReport::ExpressionEvaluator() const
{
    if (evaluator_ != nullptr)
        return evaluator_;
    if (!ownEvaluator_)
        ownEvaluator_ = std::make_unique<TrpReportEvaluator>(const_cast<TrpReport&>(*this));
    return ownEvaluator_.get();
}
