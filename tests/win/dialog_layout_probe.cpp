// Prints where the settings dialog lays out its captions and controls, in client pixels, for the
// client size that the dialog has on screen (from which the DPI it was laid out at follows), one
// "kind name left top right bottom" a line, so that end-to-end scripts can look for each caption's
// ink inside its place and for none outside. A caption's place is the room it may take in either
// language (its English place, which holds the Japanese one): captions are sized to their text.
#include <cstdio>
#include <cstdlib>

#include "frontend/settings/dialog_model.h"

namespace {

using namespace varenko;

void Print(const char* kind, const char* name, const PixelRect& r) {
  std::printf("%s %s %d %d %d %d\n", kind, name, r.left, r.top, r.right, r.bottom);
}

void Label(const char* name, const LabelLayout& l, const DialogScale& s) {
  Print("label", name, PlaceControl(l.container, LabelPlace(l, Language::English), s));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  const int width = std::atoi(argv[1]), height = std::atoi(argv[2]);
  int dpi = 0;
  for (int d = MinDialogDpi; d <= 960 && dpi == 0; ++d)
    if (TwipsToPixels(DialogClientWidth, d) == width &&
        TwipsToPixels(DialogClientHeight, d) == height)
      dpi = d;
  if (dpi == 0) return 1;
  const DialogScale s{dpi, dpi};
  std::printf("dpi %d\n", dpi);
  const char* upper[] = {"lbl0", "lbl1", "lbl2", "lbl3", "lbl4", "lbl5", "lbl6", "lbl8"};
  for (int i = 0; i < 8; ++i) Label(upper[i], UpperLabels[i], s);
  const char* options[] = {"cloud0", "cloud1", "illu0", "illu1", "bgm0", "bgm1", "bgm2"};
  const OptionLayout* all[] = {&CloudOptions[0], &CloudOptions[1], &IlluOptions[0], &IlluOptions[1],
                               &BgmOptions[0],   &BgmOptions[1],   &BgmOptions[2]};
  for (int i = 0; i < 7; ++i) {
    Label(options[i], all[i]->label, s);
    Print("control", "image", PlaceControl(all[i]->label.container, all[i]->image, s));
  }
  Label("lbl14", RepeatLabel, s);
  Label("sound", SoundLabel, s);
  Label("lbl15", BgmTitle, s);
  Label("credit", CreditLabel, s);
  for (int i = 0; i < BarCount; ++i) {
    Print("control", "bar", PlaceControl(BarContainer(i), BarRect(i), s));
    Print("number", "number", PlaceControl(BarContainer(i), BarLabelRect(i), s));
  }
  Print("frame", "shape3", PlaceControl(Container::LowerPanel, BgmFrameRect, s));
  Print("control", "repeat", PlaceControl(Container::LowerPanel, RepeatRect, s));
  Print("control", "fname", PlaceControl(Container::LowerPanel, FileNameRect, s));
  const char* buttons[] = {"Cmd_BGM", "Cmd_Etc", "Cmd_Init", "Cmd_Set", "Cmd_Can"};
  const ButtonLayout* layouts[] = {&CmdBgm, &CmdEtc, &CmdInit, &CmdSet, &CmdCan};
  for (int i = 0; i < 5; ++i)
    Print("button", buttons[i], PlaceControl(layouts[i]->container, layouts[i]->place, s));
  Print("panel", "upper", PanelInner(UpperPanelRect, s));
  Print("panel", "lower", PanelInner(LowerPanelRect, s));
  return 0;
}
