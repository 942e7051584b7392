var shared = 1;
