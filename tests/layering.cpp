// The program of each layer's link check: it is only linked, never run. The
// check links every object of one layer with the layers that layer names, so
// a reference to a layer above it fails the build.
int main() { return 0; }
