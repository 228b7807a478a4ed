// The one list of interface classes that the description can create by
// name. Each widget class is added here, in this order, as it is built.
#include "foundation/QelBaseClasses.h"
#include "ui/QelFont.h"
#include "ui/QelInterfaceClasses.h"
#include "ui/QelInterfaceEngine.h"
#include "ui/QelCheckBox.h"
#include "ui/QelEdit.h"
#include "ui/QelGrid.h"
#include "ui/QelHint.h"
#include "ui/QelLabel.h"
#include "ui/QelMoving.h"
#include "ui/QelProgressBar.h"
#include "ui/QelRadioButton.h"
#include "ui/QelRichLabel.h"
#include "ui/QelSlider.h"

namespace qv {

void RegisterInterfaceClasses() {
  static const bool registered = [] {
    RegisterFontClasses();
    TQelClassReg& reg = ClassReg();
    reg.Register(TQelForm::StaticClass());
    reg.Register(TQelTabForm::StaticClass());
    reg.Register(TQelLabel::StaticClass());
    reg.Register(TQelCheckBox::StaticClass());
    reg.Register(TQelRadioButton::StaticClass());
    reg.Register(TQelEdit::StaticClass());
    reg.Register(TQelSlider::StaticClass());
    reg.Register(TQelGrid::StaticClass());
    reg.Register(TQelProgressBar::StaticClass());
    reg.Register(TQelRichLabel::StaticClass());
    reg.Register(TQelHint::StaticClass());
    reg.Register(TQelMoving::StaticClass());
    return true;
  }();
  (void)registered;
}

}  // namespace qv
