# The programs of the Windows build: every program of the table (programs/programs.txt). The
# Wine checks have a table of their own (tests/windows/wine_programs.cpp); a test holds the
# two equal.
set(DEMO_WINDOWS_PROGRAMS ${DEMO_PROGRAM_NAMES})
