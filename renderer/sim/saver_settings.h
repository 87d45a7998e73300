// The renderer's settings as the simulation and the scene read them, and the smoke-puff
// lifetime table derived from them. The host fills the record at start (renderer/host/settings.h).
#pragma once

namespace varenko {

// Read once at start ("00" to "07" and "11"), read-only afterwards. Every field is used as read;
// scaling happens where a value is used.
struct SaverSettings {
  int maxShells;        // "00" cap on shells in flight; 0 launches nothing
  int smokeSpan;        // "01" longest smoke-puff life in seconds; 0 switches smoke off
  int windSpeed;        // "02" horizontal drift and cloud scroll
  int ambientLevel;     // "03" grey of smoke and clouds, in hundredths
  int starDensity;      // "04" stars in the sky, 20 per unit; 0 = no star dome
  int flareBrightness;  // "05" lens-flare strength; 0 skips the flare pass
  int cloudy;           // "06" nonzero = cloud layer
  int illumination;     // "07" nonzero = bursts light smoke and clouds
  int soundVolume;      // "11" sound-effects volume 0..100; 0 = silent
};

extern SaverSettings settings;

// The settings that set how much the show has to simulate, as it uses them: a stored value counts
// no further than the settings dialog goes (the maxima of common/settings_table.h: 30 shells,
// 30 s of smoke, wind 100 either way).
// Every shell, fountain and flash lights every smoke puff, so a frame's cost grows with lights
// times puffs, and a fierce wind stretches every trail into the most puffs an update may lay; a
// registry edited by hand could otherwise fill the pool in seconds and leave the saver seconds
// from answering a key. Values in the dialog's ranges count as they are.
int ShellCap();        // maxShells, at most 30
int WindInUse();       // windSpeed, within -100 to 100
int SmokeSpanInUse();  // smokeSpan, at most 30 (BuildSmokeLifeTable reads it)

// The settings that set how the picture looks count within the dialog's ranges too: a value past
// a range counts as its end (a star density in the billions would fill the sky with grey noise,
// an ambient level past 30 washes smoke and clouds white).
int AmbientInUse();  // ambientLevel within 0 to 30
int StarsInUse();    // starDensity within 0 to 100
int FlareInUse();    // flareBrightness within 0 to 100

// Eight lifetimes (seconds) of successive smoke puffs of a trail; built only when smokeSpan != 0.
extern float SmokeLifeTable[8];

// Fills SmokeLifeTable from T = SmokeSpanInUse(): min(base, T) for entries 0..6, T for entry 7.
void BuildSmokeLifeTable();

}  // namespace varenko
