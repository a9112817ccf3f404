#pragma once
// The console lines of a run, built from the dialogue's own texts, for whole-transcript comparisons.
#include <string>

namespace smwave::testing {

inline const std::string input_prompt = "\nEnter input file of waveform data\n";
inline const std::string sign_question = "\n  Change +/-? (YES=1)?? :\n";
inline const std::string band_question = "\n  Band Pass Filter? (YES=1)?? :\n";
inline const std::string corner_prompt = "\n   TRAPEZOIDAL BAND PATH FILTER\n   ENTER fL1<fL2<fH1<fH2 (Hz)\n";
inline const std::string menu =
    "\n  Integration/Differentiation:\n"
    "  NO Change         :                 (Enter=0)\n"
    "  Integration       : Ex.) acc -> vel (Enter=1)\n"
    "  Double Integration: Ex.) acc -> dis (Enter=2)\n"
    "  Differentiation:  : Ex.) Vel -> acc (Enter=3)\n";
inline const std::string spectrum_notice = "\n Fourier Spectrum data are stored in \"amp3.csv\"\n";
inline const std::string cut_question = "\n Cutting data? (No=0,Yes=1)\n";
inline const std::string skip_question = "\n Skip Data (no=0; yes=skip number)?\n";
inline const std::string output_prompt = "\n Enter output file name of waveform (csv format file)\n";

// The lines from the input name to the sign question for a table of `nt` rows at `dt` (as rendered).
inline std::string table_report(const std::string& nt_and_dt) { return "\n NT and DT= " + nt_and_dt + "\n"; }

// The transform length and grid lines of a 4096-row table at 0.01 s.
inline const std::string grid_4096 =
    "\n  IF1,NF= 12 4096\n"
    "\n  DUR,DOM,NOM,EOM=  40.96  0.153398079 2049  314.312663\n"
    "  Highest Frequency (hz)=  50.0244141\n";

// The whole console output of a 4096-row run at 0.01 s with every answer 0.
inline std::string all_zero_transcript_4096() {
    return input_prompt + table_report("4096  0.01") + sign_question + grid_4096 + band_question + menu +
           spectrum_notice + cut_question + skip_question + output_prompt;
}

}  // namespace smwave::testing
