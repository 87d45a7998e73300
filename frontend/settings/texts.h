// Every user-visible text of the front end in its two languages, one row per text, and the
// language the front end speaks, chosen once at start from the user's interface language.
// Window titles are not texts: the programs find each other by them (common/window_titles.h).
#pragma once

#include <cstdint>

namespace varenko {

enum class Language : std::uint8_t { Japanese, English };

enum class TextId : std::uint8_t {
  MaxShells,      // `lbl` 0
  SmokeSpan,      // `lbl` 1
  Wind,           // `lbl` 2
  Ambient,        // `lbl` 3
  Stars,          // `lbl` 4
  Flare,          // `lbl` 5
  Weather,        // `lbl` 6
  Illumination,   // `lbl` 8
  Clear,          // `lbl_Cloud` 0
  Cloudy,         // `lbl_Cloud` 1
  IlluOff,        // `lbl_Illu` 0
  IlluOn,         // `lbl_Illu` 1
  Music,          // `lbl` 15
  MusicNone,      // `lbl_BGM` 0
  MusicCd,        // `lbl_BGM` 1
  MusicFile,      // `lbl_BGM` 2
  RepeatTrack,    // `lbl` 14
  SoundEffects,   // the caption of the sound-effects bar
  Browse,         // `Cmd_BGM`
  About,          // `Cmd_Etc`
  Defaults,       // `Cmd_Init`
  Ok,             // `Cmd_Set`
  Cancel,         // `Cmd_Can`
  Credit,         // `lbl` 7
  ChooserTitle,   // the file chooser's title
  ChooserFilter,  // the file chooser's one filter description
  MissingRenderer,
  Count
};

struct TextRow {
  const wchar_t* japanese;
  const wchar_t* english;
};

// The table, indexed by TextId.
extern const TextRow Texts[static_cast<int>(TextId::Count)];

// Japanese for a Japanese interface language (a Windows LANGID whose primary language is
// LANG_JAPANESE), English for any other.
Language LanguageForLangId(std::uint16_t langId);

// The language in use: Japanese until ChooseLanguage says otherwise.
Language CurrentLanguage();
void ChooseLanguage(Language language);

// The text in a language, or in the language in use.
const wchar_t* Text(TextId id, Language language);
const wchar_t* Text(TextId id);

// Windows: the language of the user's interface (GetUserDefaultUILanguage).
Language SystemLanguage();

}  // namespace varenko
