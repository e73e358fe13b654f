#include "ui/window_texts.h"

#include <string>

#include "forms/forms.h"
#include "forms/messages.h"
#include "windows/form1.h"
#include "windows/form2.h"
#include "windows/frmsmartsave.h"
#include "windows/restorereq.h"
#include "windows/selwiz.h"
#include "windows/wizzard.h"

namespace ui {

using forms::res;
namespace {

std::string amp(int id) { return "&" + res(id); }

// Selects each tab (events held) and gives it its caption; the last one given
// stays selected.
void captionTabs(forms::TabControl& tabs, std::initializer_list<std::pair<int, int>> tabAndMessage) {
  forms::HoldEvents held;
  for (auto [tab, id] : tabAndMessage) {
    tabs.setTab(tab);
    tabs.setTabCaption(tab, res(id));
  }
}

void form1FirstBlock() {
  windows::Form1Window& f = windows::Form1();
  f.StatusBar1.setSimpleText(res(1500));
  captionTabs(f.SSTab2, {{1, 1519}, {2, 1508}, {3, 1509}, {4, 1030}, {5, 1510}, {0, 1518}});
  f.frmSave.setVisible(true);
  for (forms::Frame* page : {&f.frmRestore, &f.frmOptions, &f.frmTools, &f.frmNance, &f.frmInfo}) {
    page->setVisible(false);
  }
  forms::OptionButton* slots[] = {&f.Option1, &f.Option2, &f.Option3, &f.Option4, &f.Option5};
  for (int i = 0; i < 5; ++i) slots[i]->setCaption(res(1502) + " " + std::to_string(i + 1) + ":");
  f.Command1.setCaption(amp(1518));
  f.Command2.setCaption(amp(1516));
  f.Command2.setToolTipText(res(1093));
  f.Command22.setCaption(res(1139));
  f.Command26.setCaption(res(1139));
  f.Command26.setCaption(res(1139));
  f.Command4.setCaption(amp(1519));
  f.Command4.setToolTipText(res(1175));
  f.Command3.setCaption(amp(1517));
  f.Command3.setToolTipText(res(1094));
  f.Command14.setCaption(amp(1527));
  f.Command14.setToolTipText(res(1527));
  f.Command18.setCaption(res(1531));
  f.Command13.setCaption(amp(1529));
  f.Command11.setCaption(res(1087));
  f.Command19.setCaption(amp(1109));
  f.Command20.setCaption(res(1538));
  f.Command21.setCaption(res(1539));
  f.Command27.setCaption(amp(1309));
  f.Command23.setCaption(amp(1310));
}

void restoreDialog() {
  windows::RestoreReqWindow& r = windows::RestoreReq();
  r.Command2.setCaption(res(1092));
  captionTabs(r.SSTab1, {{1, 1524}, {0, 1523}});
  r.Frame1.setCaption(res(1086));
  r.Frame3.setCaption(res(1136));
  r.Frame2.setCaption(res(1523));
  r.Command5.setCaption(res(1538));
  r.Command3.setCaption(res(1538));
  r.Command6.setCaption(res(1539));
  r.Command4.setCaption(res(1539));
  r.Command2.setCaption(amp(1092));
  r.Command1.setCaption("&OK");
  r.Command7.setCaption(amp(1516));
  r.setCaption(res(1513));
  r.Check11.setCaption(res(1152));
  r.Check18.setCaption(res(1153));
  r.Check20.setCaption(res(1088));
}

void wizard() {
  windows::WizzardWindow& w = windows::Wizzard();
  w.Command3.setCaption(amp(1092));
  w.Command5.setCaption(amp(1102));
  w.Option1.setCaption(res(1103));
  w.Option2.setCaption(res(1141));
  w.Command4.setToolTipText(res(1093));
  w.Command4.setCaption(amp(1516));
  w.Command2.setCaption(res(1104));
  w.Command1.setCaption(res(1105));
  w.setCaption(res(1106));
}

void form1SecondBlock() {
  windows::Form1Window& f = windows::Form1();
  const std::pair<forms::Label*, int> labels[] = {
      {&f.Label1, 1514},  {&f.Label4, 1521},  {&f.Label19, 1521}, {&f.Label21, 1089}, {&f.Label18, 1099},
      {&f.Label27, 1135}, {&f.Label22, 1137}, {&f.Label28, 1178}, {&f.Label29, 1177},
  };
  for (auto [label, id] : labels) label->setCaption(res(id));
  const std::pair<forms::Frame*, int> frames[] = {
      {&f.Frame12, 1134}, {&f.Frame1, 1515}, {&f.Frame2, 1520},  {&f.Frame5, 1523},
      {&f.Frame6, 1528},  {&f.Frame9, 1086}, {&f.Frame7, 1108},  {&f.Frame8, 1524},
      {&f.Frame3, 1532},  {&f.Frame4, 1533}, {&f.Frame10, 1530}, {&f.Frame13, 1300},
  };
  for (auto [frame, id] : frames) frame->setCaption(res(id));
  f.Label24.setCaption(res(1303));
  f.Label25.setCaption(res(1304));
  f.Frame14.setCaption(res(1305));
  f.Command28.setCaption(res(1306));
  f.Label23.setCaption(res(1307) + "\r" + res(1308));
  f.Check1.setCaption(res(1088));
  f.List2.setToolTipText(res(1101));
  f.Text1.setToolTipText(res(1100));
}

}  // namespace

void LoadRes() {
  form1FirstBlock();
  restoreDialog();
  wizard();
  form1SecondBlock();
  windows::SelWiz().setCaption(res(1106));
  windows::FrmSmartSave().Command1.setCaption(amp(1092));
  windows::Form2().ProgressBar1.setValue(30);
}

void bindSelWiz() {
  windows::SelWizWindow& selWiz = windows::SelWiz();
  // Keeps whatever load handler the snapshot code gave the window.
  auto previous = std::move(selWiz.onLoad);
  selWiz.onLoad = [previous] {
    windows::SelWiz().setCaption(res(1106));
    if (previous) previous();
  };
}

}  // namespace ui
