-- Version 6 is kept for a change made beside version 7: it records the version alone.
SELECT 1;
