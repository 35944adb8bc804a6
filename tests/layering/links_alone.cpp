// Nothing runs here: a room is linked whole into this empty program with only the rooms below it,
// so that any call it makes into a room above it is an undefined reference.
int main() {
  return 0;
}
