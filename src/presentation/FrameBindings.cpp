#include "FrameBindings.h"

#include "ExchangeKinds.h"
#include "LcdCalibrationWord.h"
#include "Texts.h"

#include "comm/Sysutil.h"
#include "device/Daxcore.h"
#include "device/Daxhelper.h"
#include "platform/Cp1251.h"
#include "platform/Exceptions.h"

#include <algorithm>
#include <memory>
#include <set>

namespace texts = presentation;

namespace {

constexpr int32_t kFirstInput = 30001;
constexpr int32_t kFirstHolding = 40001;

// The bytes of `count` registers from `first` in the image that holds them.
std::span<uint8_t> RegisterField(const FrameBindingFields& fields, FieldSpace space, uint16_t first, uint8_t count)
{
    const bool input = space == FieldSpace::InputRegister;
    const std::span<uint8_t> image = input ? fields.InputRegisterImage : fields.HoldingRegisterImage;
    const size_t offset = 2 * static_cast<size_t>(first - (input ? kFirstInput : kFirstHolding));
    const size_t size = 2 * static_cast<size_t>(count);
    if (first < (input ? kFirstInput : kFirstHolding) || offset + size > image.size())
        throw platform::Exception(FormatText(texts::kFieldOutsideImageFormat, static_cast<int>(first)));
    return image.subspan(offset, size);
}

// A date or clock register; none for an absent one (0).
std::span<uint8_t> OptionalRegister(const FrameBindingFields& fields, FieldSpace space, uint16_t reg)
{
    return reg == 0 ? std::span<uint8_t>() : RegisterField(fields, space, reg, 1);
}

std::span<uint8_t> Field(const FrameBindingFields& fields, const BindingDescription& d)
{
    switch (d.Space) {
    case FieldSpace::InputRegister:
    case FieldSpace::HoldingRegister: return RegisterField(fields, d.Space, d.Register, d.RegisterCount);
    case FieldSpace::Identification:
        switch (static_cast<IdentificationField>(d.Register)) {
        case IdentificationField::FirmwareVersionText: return fields.FirmwareVersionText;
        case IdentificationField::ModelText: return fields.ModelText;
        case IdentificationField::ModificationText: return fields.ModificationText;
        }
        break;
    case FieldSpace::FrameWord: return d.Register == kAirChannelWordTS1 ? fields.AirChannelWordTS1 : fields.AirChannelWordTS2;
    }
    return {};
}

ValueKind ValueKindOf(BindingKind kind)
{
    switch (kind) {
    case BindingKind::Val1: return ValueKind::SignedByte;
    case BindingKind::Val3: return ValueKind::SignedWord;
    case BindingKind::Val4: return ValueKind::Long;
    default: return ValueKind::UnsignedWord;
    }
}

// The delegate of the LCD calibration word over its four controls.
std::unique_ptr<ExchangeInfo> MakeLcdCalibrationBinding(std::span<uint8_t> field,
                                                        const FrameControlResolver& resolver)
{
    std::array<ControlPort*, 4> ports{};
    for (size_t i = 0; i < kLcdCalibrationControls.size(); ++i)
        ports[i] = &resolver.Resolve(kLcdCalibrationControls[i].Path, kLcdCalibrationControls[i].Class);
    const LcdCalibrationControls controls{ports[0], ports[1], ports[2], ports[3]};
    const std::span<uint8_t, 2> word = field.first<2>();
    return std::make_unique<DelegateExchangeInfo>([controls, word] { PackedWordToControls(word, controls); },
                                                  [controls, word] { ControlsToPackedWord(controls, word); },
                                                  [controls] { ValidateLcdCalibration(controls); });
}

std::unique_ptr<ExchangeInfo> MakeBinding(const BindingDescription& d, const FrameBindingFields& fields,
                                          const FrameControlResolver& resolver)
{
    if (d.Kind == BindingKind::Delegate)
        return MakeLcdCalibrationBinding(Field(fields, d), resolver);

    ControlPort* control = &resolver.Resolve(d.ControlPath, d.Class);
    const std::span<uint8_t> field = d.Kind == BindingKind::Date || d.Kind == BindingKind::Clock
                                         ? std::span<uint8_t>()
                                         : Field(fields, d);
    switch (d.Kind) {
    case BindingKind::Float: return std::make_unique<FloatExchangeInfo>(field, control, d.Format);
    case BindingKind::U32: return std::make_unique<DWordExchangeInfo>(field, control, d.Format);
    case BindingKind::I32: return std::make_unique<LongExchangeInfo>(field, control, d.Format);
    case BindingKind::U16: return std::make_unique<WordExchangeInfo>(field, control, d.Format);
    case BindingKind::I16: return std::make_unique<ShortExchangeInfo>(field, control, d.Format);
    case BindingKind::Byte: return std::make_unique<BYTEExchangeInfo>(field, control, d.Format);
    case BindingKind::Exact: return std::make_unique<ExactExchangeInfo>(field, control, d.Format);
    case BindingKind::Time: return std::make_unique<TotalTimeExchangeInfo>(field, control, false);
    case BindingKind::Temp: return std::make_unique<TemperatureExchangeInfo>(field, control);
    case BindingKind::Press: return std::make_unique<PressureExchangeInfo>(field, control);
    case BindingKind::Res: return std::make_unique<ResistanceExchangeInfo>(field, control);
    case BindingKind::Curr: return std::make_unique<CurrentExchangeInfo>(field, control);
    case BindingKind::Combo: return std::make_unique<ComboBoxExchangeInfo>(field, control);
    case BindingKind::Status: return std::make_unique<ChanelStatusComboBoxExchangeInfo>(field, control);
    case BindingKind::Scheme: return std::make_unique<DaxSchemeComboBoxExchangeInfo>(field, control);
    case BindingKind::Val1:
    case BindingKind::Val2:
    case BindingKind::Val3:
    case BindingKind::Val4: return std::make_unique<ValueExchangeInfo>(ValueKindOf(d.Kind), field, control);
    case BindingKind::Text: return std::make_unique<StringExchangeInfo>(field, control, d.TextLength, d.Swap);
    case BindingKind::Ip: return std::make_unique<IpAddrExchangeInfo>(field, control);
    case BindingKind::Date:
        return std::make_unique<DateExchangeInfo>(OptionalRegister(fields, d.Space, d.Register),
                                                  OptionalRegister(fields, d.Space, d.Register2),
                                                  OptionalRegister(fields, d.Space, d.Register3), control);
    case BindingKind::Clock:
        return std::make_unique<TimeExchangeInfo>(OptionalRegister(fields, d.Space, d.Register),
                                                  OptionalRegister(fields, d.Space, d.Register2),
                                                  OptionalRegister(fields, d.Space, d.Register3), control);
    case BindingKind::Delegate: break;
    }
    return nullptr;
}

void CopyText(std::span<uint8_t> field, const std::string& utf8)
{
    const std::string bytes = platform::Utf8ToCp1251(utf8);
    std::fill(field.begin(), field.end(), uint8_t{0});
    std::copy_n(bytes.begin(), std::min(bytes.size(), field.size()), field.begin());
}

} // namespace

void FrameOwnFields::FillIdentification(const DaxHelper& helper)
{
    CopyText(FirmwareVersionText, helper.FirmwareVersionText());
    CopyText(ModelText, helper.ModelText());
    CopyText(ModificationText, helper.ModificationText());
}

void FrameOwnFields::FillAirChannelWord(const DaxHelper& helper, uint8_t system)
{
    const HeatSystemConfig config =
        DecodeHeatSystemConfig(helper.InputRegisterImage, helper.HoldingRegisterImage, system);
    (system == 0 ? AirChannelWordTS1 : AirChannelWordTS2) = config.AirChannelWord;
}

FrameBindingFields MakeFrameBindingFields(DaxHelper& helper, FrameOwnFields& own)
{
    return {helper.InputRegisterImage, helper.HoldingRegisterImage, own.FirmwareVersionText, own.ModelText,
            own.ModificationText,      own.AirChannelWordTS1,       own.AirChannelWordTS2};
}

FrameControlResolver::FrameControlResolver(ControlLookup lookup) : lookup_(std::move(lookup)) {}

ControlPort& FrameControlResolver::Resolve(const std::string& path, ControlClass expected) const
{
    ControlPort* control = lookup_ ? lookup_(path, expected) : nullptr;
    if (control == nullptr)
        throw platform::Exception(FormatText(texts::kControlMissingFormat, path.c_str()));
    if (control->Class() != expected)
        throw platform::Exception(FormatText(texts::kControlClassWrongFormat, path.c_str(),
                                             ControlClassName(control->Class()), ControlClassName(expected)));
    return *control;
}

std::vector<FrameControlSpec> FrameControlSpecs()
{
    std::vector<FrameControlSpec> specs;
    std::set<std::string> seen;
    for (const BindingDescription& d : FrameBindingDescriptions()) {
        if (d.Kind == BindingKind::Delegate) {
            for (const LcdCalibrationControl& c : kLcdCalibrationControls)
                if (seen.insert(c.Path).second)
                    specs.push_back({c.Path, c.Class, c.Items});
            continue;
        }
        if (seen.insert(d.ControlPath).second)
            specs.push_back({d.ControlPath, d.Class, d.List});
    }
    return specs;
}

void BuildFrameBindings(const FrameBindingFields& fields, const FrameControlResolver& resolver,
                        ExchangeInfoContainer& container)
{
    for (const BindingDescription& d : FrameBindingDescriptions()) {
        ExchangeInfo* binding = container.Add(d.Group, MakeBinding(d, fields, resolver));
        if (d.Range)
            SetBindingNameRange(binding, d.Name, ExchangeRange{(*d.Range)[0], (*d.Range)[1]});
        else if (!d.Name.empty())
            SetBindingName(binding, d.Name);
    }
}
