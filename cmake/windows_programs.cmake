# The programs of the Windows build, one per line. A new program joins here and in the
# table of the Wine checks (tests/windows/wine_programs.cpp); a test holds the two equal.
set(DEMO_WINDOWS_PROGRAMS
  relief
  flurry
  drizzle
  tether
  halfspace
  glasshall
  landscaper
)
