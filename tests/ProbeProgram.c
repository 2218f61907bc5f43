/* Starts under Wine and ends with 7: proof that this machine can run the build's programs. */
int main(void) { return 7; }
