/* Probe: can this machine run the build's Windows programs (under Wine)? */
int main(void) { return 7; }
