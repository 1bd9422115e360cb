/* A program that only carries a version resource for the tests to read. */
int main(void) { return 0; }
