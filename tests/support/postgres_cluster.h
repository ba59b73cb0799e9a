// postgres_cluster.h - the database tests' server under the name it had when PostgreSQL was the
// only engine.
#pragma once

#include "support/database_server.h"

using PostgresCluster = DatabaseServer;
