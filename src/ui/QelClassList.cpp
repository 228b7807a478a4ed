// The one list of interface classes that the description can create by
// name. Each widget class is added here, in this order, as it is built.
#include "foundation/QelBaseClasses.h"
#include "ui/QelFont.h"
#include "ui/QelInterfaceClasses.h"
#include "ui/QelInterfaceEngine.h"

namespace qv {

void RegisterInterfaceClasses() {
  static const bool registered = [] {
    RegisterFontClasses();
    TQelClassReg& reg = ClassReg();
    reg.Register(TQelForm::StaticClass());
    reg.Register(TQelTabForm::StaticClass());
    // Next, as they land: TQelLabel, TQelCheckBox, TQelRadioButton,
    // TQelEdit, TQelSlider, TQelGrid, TQelProgressBar, TQelRichLabel,
    // TQelHint, TQelMoving.
    return true;
  }();
  (void)registered;
}

}  // namespace qv
