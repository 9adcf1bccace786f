// The program a layer's archive is linked into on its own; it never runs. Its link fails when
// the layer calls anything that is not in the layers below it.
int main() { return 0; }
