/* An empty module: tests write quiz resources into copies of it and load them as data. */
int enigoFixtureModule(void) { return 0; }
