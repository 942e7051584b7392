#pragma once

// The check box: a mark drawn from a Boolean field or expression. Its drawing and data come
// with the printable objects; here are its stored properties.

#include "rpClass_views.h"

enum TrpCheckStyle : int { csCross, csCheck, csLineCross, csPlus };
enum TrpUncheckStyle : int { usEmpty, usCross, usLineCross, usMinus };

// The check box's image among the object images.
inline constexpr int32_t kCheckBoxObjectImage = 24;

// 5 millimetres at 3.77953 pixels each: the size of a new check box.
inline constexpr double kCheckBoxSize = 5 * 3.77953;

class TrpCheckBoxView : public TrpView {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    TrpCheckBoxView();
    explicit TrpCheckBoxView(TrpComponent* owner) : TrpCheckBoxView() { AttachTo(owner); }

    int32_t CheckColor = clBlack;
    bool Checked = true;
    TrpCheckStyle CheckStyle = csCross;
    TrpUncheckStyle UncheckStyle = usEmpty;
    QString Expression;

    QString GetDescription() const override;

    // Background, the mark of the state and style, frame.
    void Draw(QPainter& painter, double scaleX, double scaleY, double offsetX, double offsetY,
              const TrpDrawContext& context) override;
    // Checked from the bound field (Null counting as false) or from Expression.
    void GetData() override;
    // The mark the current state and styles draw.
    TrpCheckMark Mark() const;

    static void RegisterClass(PropertyRegistry& registry);
};
