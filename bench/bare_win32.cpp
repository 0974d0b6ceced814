// A Windows program that does nothing: the benchmark's measure of what a
// bare start of a program costs under wine, the floor below HX_RPT's floor.

int main() {
  return 0;
}
