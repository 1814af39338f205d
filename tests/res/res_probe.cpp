// Carries the program's resources and nothing else, so the tests can read
// them back before the shipped program exists.
int main() { return 0; }
