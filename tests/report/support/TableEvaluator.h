#pragma once

// An expression evaluator driven by a table, for testing printable objects without scripts:
// each expression text maps to a value (or a sequence of values, one per call) or to an
// error message, which Calc raises. It records every expression asked and the script
// variables "Value" and "Self" as the objects set them.

#include "report/model/rpExpressionEvaluator.h"

#include "platform/Exceptions.h"

#include <QPointer>
#include <QString>
#include <QStringList>

#include <map>
#include <vector>

class TableEvaluator : public ITrpExpressionEvaluator {
public:
    // The value of an expression for every call.
    void Set(const QString& expression, Variant value) { values_[expression] = {std::move(value)}; }
    // One value per call, the last one repeated.
    void SetSequence(const QString& expression, std::vector<Variant> values) { values_[expression] = std::move(values); }
    // Calc of the expression raises this message.
    void SetError(const QString& expression, const QString& message) { errors_[expression] = message; }
    void SetSettings(const FormatSettings& settings) { settings_ = settings; }

    Variant Calc(const QString& expression) override
    {
        Asked.append(expression);
        if (const auto error = errors_.find(expression); error != errors_.end())
            throw platform::Exception(error->second.toStdString());
        const auto found = values_.find(expression);
        if (found == values_.end())
            throw platform::Exception("Unknown expression: " + expression.toStdString());
        std::size_t& call = calls_[expression];
        const std::vector<Variant>& values = found->second;
        const Variant& value = values.at(std::min(call, values.size() - 1));
        ++call;
        return value;
    }
    void SetLocalValue(const Variant& value) override { LocalValue = value; }
    void SetSelfValue(TrpComponent* object) override { SelfValues.push_back(object); }
    const FormatSettings& Settings() const override { return settings_; }

    QStringList Asked;                     // every expression Calc was given, in order
    Variant LocalValue;                    // the last "Value" set
    std::vector<TrpComponent*> SelfValues; // every "Self" set, in order

private:
    std::map<QString, std::vector<Variant>> values_;
    std::map<QString, QString> errors_;
    std::map<QString, std::size_t> calls_;
    FormatSettings settings_;
};
