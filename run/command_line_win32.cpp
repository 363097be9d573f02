// The argument vector is the command line as the C runtime splits it, and no
// more: a capture list named "*.cbl" is that one name, never the files that
// match it. mingw-w64's start-up code reads this switch.
extern "C" {
int _dowildcard = 0;
}
