// The front end's texts of both languages and the language in use.
#include "frontend/settings/texts.h"

#include "common/version.h"

namespace varenko {

namespace {

Language current = Language::Japanese;

constexpr std::uint16_t LangJapanese = 0x11;  // LANG_JAPANESE, the low 10 bits of a LANGID

}  // namespace

// clang-format off
const TextRow Texts[static_cast<int>(TextId::Count)] = {
    {L"同時に打ち上げる花火の最大数", L"Fireworks at once"},
    {L"煙の消滅スパン", L"Smoke lasts (s)"},
    {L"風速", L"Wind"},
    {L"周囲の明るさ", L"Ambient light"},
    {L"星の描画密度", L"Stars"},
    {L"レンズフレアの明るさ", L"Lens flare"},
    {L"天気", L"Weather"},
    {L"イルミネーション効果", L"Lit smoke"},
    {L"星空", L"Clear"},
    {L"曇り", L"Cloudy"},
    {L"無", L"Off"},
    {L"有", L"On"},
    {L"BGM", L"Music"},
    {L"無し", L"None"},
    {L"音楽CD", L"Audio CD"},
    {L"MP3、WAV", L"MP3 or WAV"},
    {L"曲目をリピート", L"Repeat track"},
    {L"効果音", L"Sound effects"},
    {L"...", L"..."},
    {L"URL", L"About"},
    {L"初期設定", L"Defaults"},
    {L"設定", L"OK"},
    {L"ｷｬﾝｾﾙ", L"Cancel"},
    {L"Varenko   Ver " VARENKO_VERSION, L"Varenko, version " VARENKO_VERSION},
    {L"ﾌｧｲﾙを開く", L"Open a music file"},
    {L"BGMﾌｧｲﾙ (MP3 WAV)", L"Music files (MP3 WAV)"},
    {L"Varenko.dll が Varenko.scr と同じﾌｫﾙﾀﾞに見つかりません！",
     L"Varenko.dll was not found in the folder of Varenko.scr."},
};
// clang-format on

Language LanguageForLangId(std::uint16_t langId) {
  return (langId & 0x3FF) == LangJapanese ? Language::Japanese : Language::English;
}

Language CurrentLanguage() { return current; }
void ChooseLanguage(Language language) { current = language; }

const wchar_t* Text(TextId id, Language language) {
  const int i = static_cast<int>(id);
  if (i < 0 || i >= static_cast<int>(TextId::Count)) return L"";
  return language == Language::English ? Texts[i].english : Texts[i].japanese;
}

const wchar_t* Text(TextId id) { return Text(id, current); }

}  // namespace varenko
