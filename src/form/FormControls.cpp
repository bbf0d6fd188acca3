#include "form/FormControls.h"

namespace zelvo {

FormControls::FormControls() {
  dz1.setVisible(false);
  dz1.setEnabled(false);
  Text1.setVisible(false);
  Text2.setVisible(false);
  l.setVisible(false);
  Command3.setVisible(false);
  Command3.setToolTip("数据库中总台数");
  Command10.setToolTip("搜索目前正在播放的电视台");
  Command12.setToolTip("从列表中删除电视台地址");
  Command14.setEnabled(false);
  Check2.setChecked(true);
  Label2.redText = true;
  Text1.multiLine = true;
  Combo1.editable = false;
  // Minutes, two digits each: compared as text with a length such as "07:30", "5" would sort
  // after "10:00".
  for (const char* value : {"05", "10", "20", "30", "60"}) Combo1.addItem(value);
  Combo1.setText("20");
}

void FormControls::forEachControl(const std::function<void(Control&)>& visit) {
  for (Control* c : std::initializer_list<Control*>{&Frame1,     &WindowsMediaPlayer1,
                                                    &RealAudio1, &WebBrowser1,
                                                    &tvmx,       &Label1,
                                                    &Label2,     &Combo1,
                                                    &Check1,     &Check2,
                                                    &Check3,     &Text1,
                                                    &Text2,      &l,
                                                    &tvm,        &dz1,
                                                    &Command2,   &Command3,
                                                    &Command4,   &Command5,
                                                    &Command9,   &Command10,
                                                    &Command12,  &Command14,
                                                    &Command16,  &Command17}) {
    visit(*c);
  }
}

void FormControls::forEachTimer(const std::function<void(Timer&)>& visit) {
  visit(Timer5);
  visit(Timer8);
  visit(Timer9);
}

}  // namespace zelvo
