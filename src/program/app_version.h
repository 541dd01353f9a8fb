#pragma once

// What the About window, `postwick --version` and the installed metadata say about this program.
namespace pw {

inline constexpr char kApplicationTitle[] = "Postwick";
inline constexpr int kVersionMajor = 6;
inline constexpr int kVersionMinor = 4;
inline constexpr int kVersionRevision = 0;
inline constexpr char kVersionText[] = "6.4.0";
inline constexpr char kHomePage[] = "https://postwick.org/";

}  // namespace pw
